// Resizing pictures with a choice of filters.
#pragma once

#include <cstdint>

namespace imaging {

// Resizes src (width x height) into dst (newWidth x newHeight). bytesPerPixel is 1, 3, 4 or 8 (8:
// four 16-bit samples). filter is a code of resample_kernels.h or 15 (area average). Kernels are
// stretched when shrinking so that downscaling averages instead of aliasing; an axis whose size
// does not change is copied exactly. Area average and, when neither side shrinks, bicubic (17) and
// bilinear (18) run on OpenCV's resize. reserved is ignored. Fails on null pointers, empty or
// oversized pictures, short rows, other pixel sizes and unknown codes, writing nothing.
int32_t is5_ResizeImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                        void* dst, uint32_t newWidth, uint32_t newHeight, uint32_t dstRowBytes,
                        uint32_t bytesPerPixel, uint32_t filter, uint32_t reserved);

// Bicubic resize (filter 17 of is5_ResizeImage).
int32_t IS3ResizeImageBicubic(const void* src, uint32_t width, uint32_t height,
                              uint32_t srcRowBytes, void* dst, uint32_t newWidth,
                              uint32_t newHeight, uint32_t dstRowBytes, uint32_t bytesPerPixel);

// Nearest-neighbour resample: every output pixel is a copy of the source pixel under its centre.
int32_t IS3SimpleResampleImage(const void* src, uint32_t width, uint32_t height,
                               uint32_t srcRowBytes, void* dst, uint32_t newWidth,
                               uint32_t newHeight, uint32_t dstRowBytes, uint32_t bytesPerPixel);

}  // namespace imaging
