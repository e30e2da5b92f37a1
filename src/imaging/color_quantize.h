// Reducing a true-colour picture to 8-bit indices and a palette.
#pragma once

#include <cstdint>

namespace imaging {

inline constexpr uint32_t kQuantizeDither = 1;  // Floyd-Steinberg error diffusion

// Chooses up to `colours` (2..256) palette entries for the RGB24 picture by median cut over a
// 5-bits-a-channel histogram, refines them with `refinePasses` rounds of k-means over the
// histogram, and maps every pixel to its nearest entry, diffusing the error when dither is
// kQuantizeDither. palette receives `colours` entries packed red | green << 8 | blue << 16
// (unused ones 0). Pictures with no more distinct colours than `colours` keep them exactly.
int32_t IS3QuantizeRGBTo8Bit(const void* rgb, uint32_t width, uint32_t height, uint32_t rgbRowBytes,
                             void* indices, uint32_t indexRowBytes, uint32_t colours,
                             uint32_t* palette, uint32_t dither, uint32_t refinePasses,
                             uint32_t flags);

}  // namespace imaging
