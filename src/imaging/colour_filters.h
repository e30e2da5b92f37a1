// Sharpening and saturation.
#pragma once

#include <cstdint>

namespace imaging {

// Unsharp sharpening of a picture of 1, 3 or 4 bytes a pixel into dst (same size): each sample
// becomes src + amount / 10 x (src - its Gaussian blur of radius 1), limited to 0..255. Channel c
// is sharpened when bit c of channelMask is set, copied otherwise. amount 0 copies; amounts are
// limited to 100. dst may be src.
int32_t IS3SharpenImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t amount,
                        uint32_t channelMask);

// Scales the saturation of a picture of 3 or 4 bytes a pixel in place: each colour sample c
// becomes grey + factor x (c - grey), limited to 0..255, where grey is the pixel's luma
// (0.299 red + 0.587 green + 0.114 blue). 1 leaves the picture alone, 0 makes it grey, above 1
// deepens the colours and below 0 turns them towards their complements. A fourth byte (alpha)
// stays. Fails for bad pictures or a factor that is not finite.
int32_t IS3ModifyImageSaturation(void* pixels, uint32_t width, uint32_t height,
                                 uint32_t bytesPerPixel, uint32_t rowBytes, double factor);

}  // namespace imaging
