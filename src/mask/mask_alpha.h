// Applying the mask to the alpha of RGBA32 pictures, and replacing pixels by an alpha range.
#pragma once

#include <cstdint>

namespace mask {

// buffer holds canvas columns x0..x1 and rows y0..y1 (inclusive), its first pixel at canvas
// (x0, y0), rows stride bytes apart. Only the part inside the canvas is touched.
void ApplyMaskToAlphaRect_RGBA32(uint8_t* buffer, int32_t stride, int32_t x0, int32_t y0,
                                 int32_t x1, int32_t y1);
void ApplyMaskToAlpha_RGBA32(uint8_t* buffer);
void ReplaceFromRGBAImageAlphaRange(uint8_t* image, int32_t alpha, int32_t tolerancePercent,
                                    int32_t red, int32_t green, int32_t blue, int32_t alpha2);

}  // namespace mask
