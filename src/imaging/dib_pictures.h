// Packed device-independent bitmaps: a 40-byte header followed by the rows, blue first, each row
// padded to four bytes, bottom-up for a positive height and top-down for a negative one. Only
// uncompressed 24- and 32-bit bitmaps are read.
#pragma once

#include <cstdint>

namespace imaging {

// The bitmap's width and height in pixels; 0 for a bitmap that cannot be read.
uint32_t IS3DIBWidth(const void* dib);
uint32_t IS3DIBHeight(const void* dib);
// Converts the bitmap into width x height packed RGBA32 pixels (top row first) with every alpha
// set to alpha. Returns 1; 0 (and nothing written) for a bitmap that cannot be read.
int32_t IS3DIBToRGBA(const void* dib, uint32_t alpha, uint8_t* out);

}  // namespace imaging
