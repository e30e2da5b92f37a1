// Photo Pop: sharpening, a lightness-driven contrast curve and a saturation change in one go.
#pragma once

#include <cstdint>

namespace process {

// Sharpens the current layer, runs Hyper Contrast (once gently first when extraPass is 1, then
// with contrastAmount on the slider scale 0..1000) and scales its saturation by a factor from
// saturation (0..100; 50 leaves it). Every step is written into the current layer through the
// mask and the texture; the contrast and saturation steps need the processing buffers 32.
void PhotoPop(int32_t contrastAmount, double saturation, int32_t extraPass);

}  // namespace process
