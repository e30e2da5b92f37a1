// Noise models added to a picture of 3 or 4 bytes a pixel, in place. Each sample of the channels
// in channelMask (bit c for channel c) gets its own draw, or with monochrome set one draw a pixel
// is added to all of them (grain without colour). amount is the noise's spread in hundredths of
// a level: 100 gives a standard deviation (or scale) of one level. The draws are zero-mean apart
// from mean, so the picture keeps its average brightness away from the ends. Results are rounded
// and limited to 0..255. The sequence is fixed, so a run is repeatable. 1 on success, 0 for a bad
// picture or a spread that is negative or not finite.
#pragma once

#include <cstdint>

namespace imaging {

// Normal noise of standard deviation amount / 100 around mean.
int32_t ISE3AddGaussianNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                             uint32_t rowBytes, double amount, double mean, uint8_t monochrome,
                             uint32_t channelMask);
// Uniform noise over mean ± amount / 100.
int32_t ISE3AddUniformNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                            uint32_t rowBytes, double amount, double mean, uint8_t monochrome,
                            uint32_t channelMask);
// Negative exponential noise of scale amount / 100, its mean subtracted: many small darkenings
// and a few strong brightenings.
int32_t ISE3AddNegativeExpNoise(void* pixels, uint32_t width, uint32_t height,
                                uint32_t bytesPerPixel, uint32_t rowBytes, double amount,
                                uint8_t monochrome, uint32_t channelMask);
// Rayleigh noise of scale amount / 100, its mean subtracted.
int32_t ISE3AddRayleighNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                             uint32_t rowBytes, double amount, uint8_t monochrome,
                             uint32_t channelMask);

}  // namespace imaging
