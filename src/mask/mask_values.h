// The value mappings every mask maker shares, and the plane they write.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/engine_state.h"

namespace mask {

// The plane with the canvas geometry it follows; plane is null when there is no canvas.
struct MaskCanvas {
  uint16_t* plane = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  std::size_t pixels = 0;
};

inline MaskCanvas LiveMask() {
  const engine::EngineState& s = engine::State();
  if (!s.maskPlane || s.canvasWidth <= 0 || s.canvasHeight <= 0) return {};
  return {s.maskPlane, s.canvasWidth, s.canvasHeight,
          std::size_t(s.canvasWidth) * std::size_t(s.canvasHeight)};
}

// A brightness on the 16-bit colour scale (65280 is white) as a mask value: dark opens, light
// protects. Near-black (up to one 8-bit step) opens fully, so that black maps to 65535.
inline uint16_t MaskFromGrey(uint32_t v) {
  if (v <= 255) return 65535;
  if (v > 65280) return 0;
  return static_cast<uint16_t>(65280 - v);
}

// The value an "amount" maker writes: ((255 - amount) mod 256) x 256; amount 0 gives 65280 and
// 255 gives 0. Only the low 16 bits of the product are kept, which is the same as the mod.
inline uint16_t MaskFromAmount(int32_t amount) {
  return static_cast<uint16_t>((255u - static_cast<uint32_t>(amount)) << 8);
}

// A tolerance in percent as an 8-bit distance, trunc(percent x 2.56); 100 % gives 256.
inline int64_t ToleranceFromPercent(int32_t percent) {
  return static_cast<int64_t>(percent * 2.56);
}

// Scales an 8-bit alpha by a mask value through its high byte: 0 clears, 255 keeps, others take
// (alpha x (hb + 1)) >> 8.
inline uint8_t MaskAlpha(uint8_t alpha, uint16_t m) {
  const uint32_t hb = m >> 8;
  if (hb == 0) return 0;
  if (hb == 255) return alpha;
  return static_cast<uint8_t>((alpha * (hb + 1)) >> 8);
}

}  // namespace mask
