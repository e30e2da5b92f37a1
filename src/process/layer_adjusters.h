// The bodies of Adjust HSL and Adjust HSV: the engine's buffer adjusters driven by the sliders.
#pragma once

#include <cstdint>

#include "process/effect_call.h"

namespace process {

// Slider 1 shifts the hue by (percent - 50) x 3.6 degrees (half a turn either way), sliders 2
// and 3 shift saturation and lightness (or value) by (percent - 50) x 2 percent; the middle of
// every slider changes nothing.
void AdjustHSLBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height);
void AdjustHSVBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height);

}  // namespace process
