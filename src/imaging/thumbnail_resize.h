// The scalers and the alpha split that thumbnails, web pictures and brush pictures use.
#pragma once

#include <cstdint>

namespace imaging {

// Shrinks a picture (bytesPerPixel 1, 3 or 4) to a smaller one by averaging the source area under
// each target pixel. The target may not be larger than the source in either direction. mode 1
// (area average) is the only mode.
int32_t IS3DecimateImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                         void* dst, uint32_t dstWidth, uint32_t dstHeight, uint32_t dstRowBytes,
                         uint32_t bytesPerPixel, uint32_t mode);

// Scales a picture to any size: area averaging where it shrinks both ways, bilinear otherwise.
int32_t IS3ResizeImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                       void* dst, uint32_t dstWidth, uint32_t dstHeight, uint32_t dstRowBytes,
                       uint32_t bytesPerPixel);

// Splits packed RGBA32 into packed RGB24 and (when alpha is not null) an 8-bit alpha plane.
int32_t IS3SplitRGBAToRGBPlusA(const void* rgba, uint32_t width, uint32_t height, void* rgb,
                               void* alpha);

}  // namespace imaging
