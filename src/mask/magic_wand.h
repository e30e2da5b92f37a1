// The magic wand: a selection made from a click.
#pragma once

#include <cstdint>

namespace mask {

// Adds to the mask the pixels the mode selects around canvas point (x, y): "Non-connected",
// "Connected", "Alpha Connected", "Alpha Non-connected", "Color Range", "Luminance Range",
// "Hue Range", "HSL Range" (names compared exactly). tolerance is in units of 1/500 percent, amount
// a percent. A point outside the canvas or an unknown mode changes nothing.
void MaskWand(int32_t x, int32_t y, int32_t tolerance, int32_t amount, const char* mode);

}  // namespace mask
