// Channel moves between tightly packed RGB24 and RGBA32 pictures, used around mask images.
#pragma once

#include <cstdint>

namespace mask {

// Each RGB24 destination pixel = the source alpha three times.
void RGBAlphaToRGB(uint8_t* destination, int32_t width, int32_t height, const uint8_t* source);
// Each RGBA32 destination alpha = the integer mean of the source's three bytes; colour untouched.
void RGBToRGBAlpha(uint8_t* destination, int32_t width, int32_t height, const uint8_t* source);
// Copies the three colour bytes into RGBA32; destination alpha untouched.
void RGBToRGBA(uint8_t* destination, int32_t width, int32_t height, const uint8_t* source);
// Copies the three colour bytes of RGBA32 into RGB24.
void RGBAToRGB(uint8_t* destination, int32_t width, int32_t height, const uint8_t* source);

}  // namespace mask
