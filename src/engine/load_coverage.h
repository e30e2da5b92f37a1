// Coverage of the loads that honour the mask and the texture: per pixel a weight h from 0 (the
// pixel keeps its value) to 65535 (the source replaces it), and the rule that blends by it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

inline constexpr uint32_t kFullCoverage = 65535;

// Coverage used by the colour loads. The texture byte t (4..250 when built from a layer) weighs
// the pixel: 0 blocks it, 128 and above pass it fully, between them h = ((2t + 1) * 65535) >> 8
// (t = 1 gives 767, t = 127 gives 65279). The mask then counts by its high byte m: 0 blocks the
// pixel outright, 255 keeps h, and anything between scales h by (m + 1) / 256. texture and mask
// may be null; `at` is the pixel's offset in the canvas-sized planes.
inline uint32_t CoverageColour(const uint8_t* texture, const uint16_t* mask, std::size_t at) {
  uint32_t h = kFullCoverage;
  if (texture) {
    const uint32_t t = texture[at];
    if (t == 0) {
      h = 0;
    } else if (t < 128) {
      h = ((2 * t + 1) * kFullCoverage) >> 8;
    }
  }
  if (mask) {
    const uint32_t m = mask[at] >> 8;
    if (m == 0) return 0;
    if (m < 255) h = ((m + 1) * h) >> 8;
  }
  return h;
}

// Coverage used by the alpha load. The texture weighs as (t * 131070) >> 8 up to 127 and passes
// fully above; the mask counts with its whole 16-bit sample M, h = (M * h) >> 16 below 65535, so
// a sample whose high byte is 0 still lets a little through.
inline uint32_t CoverageAlpha(const uint8_t* texture, const uint16_t* mask, std::size_t at) {
  uint32_t h = kFullCoverage;
  if (texture) {
    const uint32_t t = texture[at];
    if (t <= 127) h = (t * 131070) >> 8;
  }
  if (mask) {
    const uint32_t m = mask[at];
    if (m < kFullCoverage) h = (m * h) >> 16;
  }
  return h;
}

// Blends an 8-bit source value s into a 16-bit layer value d at coverage h:
//   d' = (s * h + (d * (65535 - h)) >> 8) >> 8
// s * h is the source scaled to 16 bits (s * 256) times h / 65536; the layer's share is
// pre-shifted by 8 so that both terms live at 24 bits before the final shift. Every product fits
// 32 bits (65535 * 65535 < 2^32).
inline uint16_t BlendByCoverage(uint32_t s, uint32_t d, uint32_t h) {
  return static_cast<uint16_t>((s * h + ((d * (kFullCoverage - h)) >> 8)) >> 8);
}

}  // namespace engine
