// Small row conversions shared by the codecs. Plain loops the compiler vectorises.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

// RGB24 or RGBA32 (channels 3 or 4) to BGR24 / BGRA32 and back (the swap is its own inverse).
inline void SwapRedBlue(const uint8_t* src, uint8_t* dst, std::size_t pixels, int channels) {
  for (std::size_t i = 0; i < pixels; ++i, src += channels, dst += channels) {
    const uint8_t r = src[0], g = src[1], b = src[2];
    dst[0] = b;
    dst[1] = g;
    dst[2] = r;
    if (channels == 4) dst[3] = src[3];
  }
}

inline void RGBToRGBA(const uint8_t* src, uint8_t* dst, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, src += 3, dst += 4) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
    dst[3] = 255;
  }
}

inline void GreyToRGBA(const uint8_t* src, uint8_t* dst, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, dst += 4)
    dst[0] = dst[1] = dst[2] = src[i], dst[3] = 255;
}

// A palette colour packed red | green << 8 | blue << 16.
inline uint8_t PaletteRed(uint32_t c) { return uint8_t(c); }
inline uint8_t PaletteGreen(uint32_t c) { return uint8_t(c >> 8); }
inline uint8_t PaletteBlue(uint32_t c) { return uint8_t(c >> 16); }

}  // namespace imaging
