// Glows on the refreshed source, and the mask maker by hue, saturation and lightness.
#pragma once

#include <cstdint>

#include "process/effect_descriptor.h"

namespace process {

bool GlowInnerBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height);
bool GlowOuterBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height);
// Marks the mask where the source buffer 32 lies within the tolerances of the chosen hue,
// saturation and lightness.
void MaskGenerateHSLBody(const EffectCall& call);

inline constexpr EffectParameter kGlowParameters[] = {
    Slider(1, "size", 200), Slider(2, "strength", 500), Colour("glow", 255, 220, 120)};
inline constexpr EffectDescriptor kGlowInnerEffect =
    BufferRow("Glow Inner", EffectRoute::kSource32, kAsItIs, GlowInnerBody, kGlowParameters,
              "Lights the inside edges of the layer's opaque parts in the glow colour.");
inline constexpr EffectDescriptor kGlowOuterEffect =
    BufferRow("Glow Outer", EffectRoute::kSource32, kAsItIs, GlowOuterBody, kGlowParameters,
              "Lays a soft glow of the glow colour around the layer's opaque parts.");

inline constexpr EffectParameter kMaskGenerateHSLParameters[] = {
    Slider(1, "hue", 0),
    Slider(2, "hue tolerance", 100),
    Slider(3, "saturation", 500),
    Slider(4, "saturation tolerance", 500),
    Slider(5, "lightness", 500),
    Slider(6, "lightness tolerance", 500),
    Flag(1, "protect the matches instead"),
    Flag(3, "clear the mask first", 1),
};
inline constexpr EffectDescriptor kMaskGenerateHSLEffect = FreeFormRow(
    "Mask Generate HSL", EffectRoute::kOnSource, MaskGenerateHSLBody, kMaskGenerateHSLParameters,
    "Selects the pixels near a hue, saturation and lightness in the mask.");

}  // namespace process
