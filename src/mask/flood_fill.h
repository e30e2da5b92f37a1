// The paint bucket: fills or erases a region of the current layer chosen by a click.
#pragma once

#include <cstdint>

namespace mask {

// Fills or erases around canvas point (x, y) with the colour (8-bit channels) by the mode's rule:
// "Paint Non-connected", "Erase Non-connected", "Paint Connected", "Erase Connected",
// "Paint Alpha Connected", "Paint Alpha Non-Connected" (names compared exactly). tolerance is in
// units of 1/500 percent. The current layer passes through 8 bits once and is written back
// through the mask and the texture. A point outside the canvas or an unknown mode changes nothing.
void FloodFill(int32_t red, int32_t green, int32_t blue, int32_t x, int32_t y, int32_t tolerance,
               const char* mode);

// Sets every pixel of a canvas-sized RGBA32 image whose byte in the canvas-sized region map is
// exactly 1 to (red, green, blue, alpha).
void ColorRGBA32FromFloodMask(uint8_t* image, const uint8_t* map, int32_t red, int32_t green,
                              int32_t blue, int32_t alpha);

}  // namespace mask
