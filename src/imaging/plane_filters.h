// Filters over whole planes.
#pragma once

#include <cstdint>

namespace imaging {

// Gaussian blur of a picture of 1, 3 or 4 bytes a pixel into a destination of the same size.
// strength is in percent of the base softness: sigma = strength / 100 pixels (100 gives a 7-tap
// kernel). flags bit 0 set: edges repeat the border pixel; clear: edges mirror the picture.
// Source and destination may be the same buffer.
int32_t IS3BlurImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                     uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t strength,
                     uint32_t flags);

// Gaussian blur of kernel side 2 x radius + 1 blended over the picture by strength (0..1: 0 keeps
// the picture, 1 gives the blur), into a destination of the same size. channels selects by its
// bits (1 first byte, 2 second, ...) the channels blurred; the others are copied. Radius 0 copies.
// Edges repeat the border pixel. Fails for bad pictures or the same buffer as source and
// destination.
int32_t ISE3BlurImage(const void* src, uint32_t width, uint32_t height, void* dst,
                      uint32_t bytesPerPixel, uint32_t srcRowBytes, uint32_t dstRowBytes,
                      uint32_t radius, double strength, uint32_t channels);

}  // namespace imaging
