// Per-sample tone changes of three-byte pictures: negative, posterize, solarize.
#pragma once

#include <cstdint>

namespace imaging {

// Each reads a width x height picture of three bytes a pixel (red, green, blue) and writes the
// result into dst (same size; may be src). Fail for bad pictures, writing nothing.

// Every sample x becomes 255 - x.
int32_t ISE3InvertImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                        void* dst, uint32_t dstRowBytes);

// levels (limited to 2..255) equal bands per channel: sample x lies in band (x x levels) >> 8 and
// becomes that band's value band x 255 / (levels - 1), truncated; the darkest band is 0 and the
// brightest 255.
int32_t ISE3PosterizeRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                         void* dst, uint32_t dstRowBytes, uint32_t levels);

// Samples above threshold turn over (x becomes 255 - x); the others stay. 255 changes nothing,
// 0 turns over everything but black.
int32_t ISE3SolarizeImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                          void* dst, uint32_t dstRowBytes, uint32_t threshold);

}  // namespace imaging
