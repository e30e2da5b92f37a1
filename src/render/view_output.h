// The last stage of a view pixel: the 16-bit composite, the tracing image laid half over it, the
// checkerboard behind transparency and the mask tint, written as blue, green, red bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace render {

struct Pixel16 {
  uint32_t c0, c1, c2, alpha;
};

struct ViewOutput {
  const uint16_t* tracing = nullptr;  // RGBA64 with the canvas stride, or null when not shown
  const uint16_t* mask = nullptr;     // G16 with the canvas width as stride, or null when not shown
  bool fullStrength = false;
  uint32_t tintOdd[3] = {};
  uint32_t tintEven[3] = {};
};

// Squares of 32 x 32 canvas pixels; (0, 0) starts an even square.
inline bool OddSquare(int32_t cx, int32_t cy) { return (((cx >> 5) + (cy >> 5)) & 1) != 0; }

// p: the composite at canvas (cx, cy). tracingAt: offset of that pixel in the tracing image. m: the
// raw mask sample to show (read only when out.mask is set). skipOpenTint: the 1:1 path leaves a
// fully open pixel untinted.
inline void WriteViewPixel(const ViewOutput& out, Pixel16 p, int32_t cx, int32_t cy,
                           std::size_t tracingAt, uint32_t m, bool skipOpenTint, uint8_t* bgr) {
  if (out.tracing) {
    const uint16_t* t = out.tracing + tracingAt;
    p.c0 = (t[0] + p.c0) >> 1;
    p.c1 = (t[1] + p.c1) >> 1;
    p.c2 = (t[2] + p.c2) >> 1;
  }
  const bool odd = OddSquare(cx, cy);
  if (p.alpha < 65535) {
    // Transparency shows a grey-and-white checker through: alpha x colour + (1 - alpha) x K.
    const uint32_t k = odd ? 40959 : 65535;
    const uint32_t behind = (k * (65535 - p.alpha)) >> 8;
    p.c0 = (((p.alpha * p.c0) >> 8) + behind) >> 8;
    p.c1 = (((p.alpha * p.c1) >> 8) + behind) >> 8;
    p.c2 = (((p.alpha * p.c2) >> 8) + behind) >> 8;
  }
  if (out.mask && !(skipOpenTint && m == 65535)) {
    // Protected areas are drawn towards the tint of their square; at half strength the
    // composite always keeps at least half.
    if (!out.fullStrength) m = (m >> 1) + 32767;
    const uint32_t inv = 65535 - m;
    const uint32_t* tint = odd ? out.tintOdd : out.tintEven;
    bgr[0] = static_cast<uint8_t>((((m * p.c2) >> 8) + ((inv * tint[2]) >> 8)) >> 16);
    bgr[1] = static_cast<uint8_t>((((m * p.c1) >> 8) + ((inv * tint[1]) >> 8)) >> 16);
    bgr[2] = static_cast<uint8_t>((((m * p.c0) >> 8) + ((inv * tint[0]) >> 8)) >> 16);
    return;
  }
  bgr[0] = static_cast<uint8_t>(p.c2 >> 8);
  bgr[1] = static_cast<uint8_t>(p.c1 >> 8);
  bgr[2] = static_cast<uint8_t>(p.c0 >> 8);
}

}  // namespace render
