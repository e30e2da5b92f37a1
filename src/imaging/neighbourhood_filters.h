// Filters over the square neighbourhood of each pixel: means, extremes, median, the dust and
// scratches cleaner and the mosaic.
#pragma once

#include <cstdint>

namespace imaging {

// Each reads a width x height picture of 1, 3 or 4 bytes a pixel and writes the result into dst
// (same size; may be src). The neighbourhood is the (2 radius + 1)-pixel square around the pixel
// (radius limited to 1..64); beyond the border the border pixels repeat. Every channel, alpha
// included, is filtered alike. Fail for bad pictures, writing nothing.

// The plain average of the neighbourhood, rounded.
int32_t ISE3ArithmeticMeanFilter(const void* src, uint32_t width, uint32_t height,
                                 uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                                 uint32_t dstRowBytes, uint32_t radius);
// (largest + smallest + 1) / 2 of the neighbourhood.
int32_t ISE3MidpointFilter(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                           uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t radius);
// The geometric mean (exp of the mean of the logarithms) of the samples plus one, less one:
// keeps edges better than the plain mean and removes bright specks.
int32_t ISE3GeometricMeanFilter(const void* src, uint32_t width, uint32_t height,
                                uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                                uint32_t dstRowBytes, uint32_t radius);
// The harmonic mean (count over the sum of reciprocals) of the samples plus one, less one: the
// darkest samples weigh most.
int32_t ISE3HarmonicMeanFilter(const void* src, uint32_t width, uint32_t height,
                               uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                               uint32_t dstRowBytes, uint32_t radius);
// The largest and the smallest sample of the neighbourhood.
int32_t ISE3MaximumFilter(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                          uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t radius);
int32_t ISE3MinimumFilter(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                          uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t radius);
// The median of the neighbourhood per channel.
int32_t ISE3MedianCutImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                           uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t radius);
// Dust and scratches: a sample that differs from its neighbourhood's median by more than
// threshold takes the median; the others stay, so fine texture below the threshold survives.
int32_t ISE3DustAndScratches(const void* src, uint32_t width, uint32_t height,
                             uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                             uint32_t dstRowBytes, uint32_t radius, uint32_t threshold);

// Mosaic in place: the picture is cut into blockSize x blockSize tiles from the top left (the
// last ones clipped by the border) and each tile takes its rounded average. blockSize is limited
// to 1..the larger side; 1 changes nothing.
int32_t ISE3MosaicImage(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t rowBytes, uint32_t blockSize);

}  // namespace imaging
