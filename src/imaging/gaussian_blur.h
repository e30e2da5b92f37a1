// Gaussian blur by radius.
#pragma once

#include <cstdint>

namespace imaging {

// Blurs a picture of 1, 3 or 4 bytes a pixel into dst (same size; may be src itself) with a
// Gaussian whose standard deviation is radius pixels. Channel c is blurred when bit c of
// channelMask is set and copied otherwise. Edges repeat the border pixel. Small radii use the
// exact kernel; from kBoxRadius up the blur runs on the picture shrunk by block averages and is
// enlarged back bilinearly, which keeps the cost flat however wide the blur; radii beyond twice
// the larger side act as that. A radius of 0 or less copies. Fails for bad pictures or a radius
// that is not a number.
int32_t is5_GaussianBlurImage(const void* src, uint32_t width, uint32_t height,
                              uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                              uint32_t dstRowBytes, double radius, uint32_t channelMask);

inline constexpr double kBoxRadius = 8.0;

}  // namespace imaging
