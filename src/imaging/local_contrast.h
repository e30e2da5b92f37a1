// Brightness statistics and local contrast enhancement (the tone-mapping look of a high dynamic
// range picture).
#pragma once

#include <cstdint>

namespace imaging {

// The mean grey ((77 red + 150 green + 29 blue + 128) >> 8) of a picture of 3 or 4 bytes a
// pixel, into *mean. Fails for bad pictures or a null result pointer.
int32_t ISE40_FindImageMean(const void* pixels, uint32_t width, uint32_t height,
                            uint32_t bytesPerPixel, uint32_t rowBytes, double* mean);
// The standard deviation of the same grey about mean, into *deviation.
int32_t ISE40_FindImageStandardDeviation(const void* pixels, uint32_t width, uint32_t height,
                                         uint32_t bytesPerPixel, uint32_t rowBytes, double mean,
                                         double* deviation);

// Local enhancement of a picture of 3 or 4 bytes a pixel into dst (same size; may be src; a
// fourth byte is copied). Around each pixel the grey's local mean m and deviation s are taken
// over a Gaussian window of radius pixels (limited to 1..200). The pixel's grey g becomes
//   globalMean + compression x (m - globalMean) + gain x (g - m),
// gain = min(maxGain, detail x globalDeviation / (s + 1)):
// compression (0..1) draws the broad light and dark areas towards the picture's mean, and the
// local gain lifts detail in flat areas more than at strong edges. The colour channels are
// scaled with the grey so that hues stay. Fails for bad pictures or values that are not finite.
int32_t ISE40_LocalHistogramEnhancement(const void* src, uint32_t width, uint32_t height,
                                        uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                                        uint32_t dstRowBytes, double globalMean,
                                        double globalDeviation, uint32_t radius, double compression,
                                        double detail, double maxGain);

}  // namespace imaging
