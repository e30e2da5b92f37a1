// The bodies of Adjust HSL and Adjust HSV: the engine's buffer adjusters driven by the sliders.
#pragma once

#include <cstdint>

#include "process/effect_descriptor.h"

namespace process {

// Slider 1 shifts the hue by (percent - 50) x 3.6 degrees (half a turn either way), sliders 2
// and 3 shift saturation and lightness (or value) by (percent - 50) x 2 percent; the middle of
// every slider changes nothing.
bool AdjustHSLBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height);
bool AdjustHSVBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height);

inline constexpr EffectParameter kAdjustHSLParameters[] = {
    Slider(1, "hue", 500),
    Slider(2, "saturation", 500),
    Slider(3, "lightness", 500),
};
inline constexpr EffectParameter kAdjustHSVParameters[] = {
    Slider(1, "hue", 500),
    Slider(2, "saturation", 500),
    Slider(3, "value", 500),
};
inline constexpr EffectDescriptor kAdjustHSLEffect =
    LayerCopyRow("Adjust HSL", AdjustHSLBody, kAdjustHSLParameters,
                 "Turns the hue and shifts saturation and lightness; 50 % changes nothing.");
inline constexpr EffectDescriptor kAdjustHSVEffect =
    LayerCopyRow("Adjust HSV", AdjustHSVBody, kAdjustHSVParameters,
                 "Turns the hue and shifts saturation and value; 50 % changes nothing.");

}  // namespace process
