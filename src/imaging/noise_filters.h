// Noise laid over a three-byte picture: coloured grain, film grain and Perlin clouds.
#pragma once

#include <cstdint>

namespace imaging {

// Each reads a width x height picture of three bytes a pixel and writes into dst (same size; may
// be src). amount (limited to 0..100) is how far the picture moves towards the noise: 0 keeps
// it, 100 gives the noise alone. The noise is a fixed function of the position and seed, so the
// same call gives the same picture. Fail for bad pictures, writing nothing.

// Independent uniform noise in each channel: confetti of every colour.
int32_t ISE3GenerateColoredNoise(const void* src, uint32_t width, uint32_t height,
                                 uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes,
                                 uint32_t amount, uint32_t seed);

// Film grain: grey grain of grainSize pixels (limited to 1..16), normally distributed, added to
// every channel alike and strongest in the mid-tones (as silver grain shows least in deep
// shadows and bright highlights). amount 100 gives a grain of deviation 64 levels.
int32_t ISE3GenerateHugoNoise(const void* src, uint32_t width, uint32_t height,
                              uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes,
                              uint32_t amount, uint32_t grainSize, uint32_t seed);

// Perlin gradient noise in octaves (limited to 1..8) with its largest features scale pixels
// across (limited to 1..4096), each octave half the size and half the weight of the one before:
// soft grey clouds (0..255, about 48 levels either side of mid-grey whatever the octaves) laid
// over the picture as light and shade: each channel moves by the cloud's distance from 128 times
// amount percent (limited to 0..100), so that 100 on a mid-grey picture gives the clouds alone.
int32_t ISE3GeneratePerlinNoise(const void* src, uint32_t width, uint32_t height,
                                uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes,
                                uint32_t amount, double scale, uint32_t octaves, uint32_t seed);

}  // namespace imaging
