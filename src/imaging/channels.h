// Channel conversions: grey, channel order, splitting into planes and joining them again.
#pragma once

#include <cstdint>

namespace imaging {

// Grey of 3- or 4-byte pixels (first byte red): (77 red + 150 green + 29 blue + 128) >> 8, one
// byte a pixel into dst with rows dstRowBytes apart. dst may be src itself when dstRowBytes is at
// most srcRowBytes: every grey byte lands at or before the pixel it came from.
int32_t IS3ImageToGrayScale8Bit(const void* src, uint32_t width, uint32_t height,
                                uint32_t srcRowBytes, uint32_t bytesPerPixel, void* dst,
                                uint32_t dstRowBytes);

// Swaps the first and third byte of every 4-byte pixel, in place (red-first to blue-first and
// back).
int32_t IS3RGBAToBGRA(void* pixels, uint32_t width, uint32_t height, uint32_t rowBytes);

// Copies each channel of 3- or 4-byte pixels into its own one-byte plane (rows planeRowBytes
// apart). A null plane pointer skips that channel; plane3 is used only for 4-byte pixels.
int32_t IS3SplitImage(const void* src, uint32_t width, uint32_t height, uint32_t rowBytes,
                      uint32_t bytesPerPixel, void* plane0, void* plane1, void* plane2,
                      void* plane3, uint32_t planeRowBytes);

// The reverse of IS3SplitImage: each non-null plane replaces its channel of dst.
int32_t IS3CombineImageChannels(void* dst, uint32_t width, uint32_t height, uint32_t rowBytes,
                                uint32_t bytesPerPixel, const void* plane0, const void* plane1,
                                const void* plane2, const void* plane3, uint32_t planeRowBytes);

// Rearranges the channels of 4-byte pixels in place: channel i of the result is channel order_i
// of the original (2, 1, 0, 3 swaps red and blue). Each order value must be 0..3.
int32_t IS40_ReorderChannels(void* pixels, uint32_t width, uint32_t height, uint32_t rowBytes,
                             uint32_t order0, uint32_t order1, uint32_t order2, uint32_t order3);

}  // namespace imaging
