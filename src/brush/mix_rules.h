// The colour formulas of the dab mix rules, on 16-bit channels (65535 = 1.0) in integer form. A
// dab meets the target pixel with them (the source s is the dab's colour, d the pixel's), and the
// blend buffer's mix meets the canvas with them (s is the carried paint, d the canvas).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace brush::rules {

// Screen: 1 - (1 - d)(1 - s); the product is shifted by 16, so white stays white.
inline uint32_t Screen(uint32_t s, uint32_t d) {
  return 65535 - (((65535 - d) * (65535 - s)) >> 16);
}
inline uint32_t Darken(uint32_t s, uint32_t d) { return std::min(s, d); }
inline uint32_t Lighten(uint32_t s, uint32_t d) { return std::max(s, d); }
inline uint32_t Difference(uint32_t s, uint32_t d) { return s > d ? s - d : d - s; }
// Negation: 1 - |1 - d - s|.
inline uint32_t Negation(uint32_t s, uint32_t d) {
  const int32_t t = 65535 - int32_t(d) - int32_t(s);
  return 65535 - uint32_t(t < 0 ? -t : t);
}
// Exclusion: d + s - 2ds, the doubled product taken as a shift by 15.
inline uint32_t Exclusion(uint32_t s, uint32_t d) {
  return uint32_t(std::clamp<int64_t>(int64_t{d} + s - ((int64_t{d} * s) >> 15), 0, 65535));
}
// Multiply below the middle (2ds) and screen above it (1 - 2(1 - d)(1 - s)), chosen by the
// channel named first.
inline uint32_t OverlayBy(uint32_t chooser, uint32_t s, uint32_t d) {
  if (chooser < 0x7FFF) return (d * s) >> 15;
  return 65535 - std::min<uint32_t>(((65535 - d) * (65535 - s)) >> 15, 65535);
}
inline uint32_t Overlay(uint32_t s, uint32_t d) { return OverlayBy(d, s, d); }
inline uint32_t HardLight(uint32_t s, uint32_t d) { return OverlayBy(s, s, d); }
// Soft light in floating point: with a light source 2d(1 - s) + (2s - 1)sqrt(d), with a dark
// one ((1 - 2s)d + 2s)d.
inline uint32_t SoftLight(uint32_t s, uint32_t d) {
  const double sigma = s / 65535.0, delta = d / 65535.0;
  const double result = sigma >= 0.5 ? 2 * delta * (1 - sigma) + (2 * sigma - 1) * std::sqrt(delta)
                                     : ((1 - 2 * sigma) * delta + 2 * sigma) * delta;
  return uint32_t(std::clamp(std::trunc(result * 65535), 0.0, 65535.0));
}
// Dodge: d / (1 - s), white where that reaches 1.
inline uint32_t Dodge(uint32_t s, uint32_t d) {
  if (s == 65535) return 65535;
  return std::min<uint32_t>((d * 65536) / (65535 - s), 65535);
}
// Burn: 1 - (1 - d) / s, black where that falls below 0.
inline uint32_t Burn(uint32_t s, uint32_t d) {
  if (s == 0) return 0;
  return uint32_t(std::max<int64_t>(65535 - (int64_t{65535 - d} * 65536) / s, 0));
}
// Reflect: d^2 / (1 - s); glow is reflect with the roles exchanged.
inline uint32_t Reflect(uint32_t s, uint32_t d) {
  if (s == 65535) return 65535;
  return std::min<uint32_t>((d * d) / (65535 - s), 65535);
}
inline uint32_t Glow(uint32_t s, uint32_t d) { return Reflect(d, s); }
inline uint32_t Add(uint32_t s, uint32_t d) { return std::min<uint32_t>(s + d, 65535); }
inline uint32_t Subtract(uint32_t s, uint32_t d) { return s + d > 65535 ? s + d - 65535 : 0; }

// Four and three grey levels of one channel.
inline uint32_t FourLevels(uint32_t s) {
  return s < 0x2AAA ? 0 : s < 0x7FFF ? 0x5555 : s < 0xD555 ? 0xAAAA : 0xFFFF;
}
inline uint32_t ThreeLevels(uint32_t s) { return s < 0x5555 ? 0 : s < 0xAAAA ? 0x7FFF : 0xFFFF; }

// Posterise: the low mixShift bits cleared; a negative shift clears the channel.
inline uint32_t Posterize(uint32_t s, int32_t shift) {
  if (shift < 0 || shift >= 16) return 0;
  return (s >> shift) << shift;
}

// Mean of the colour channels, and the brightness (3 red + 4 green + blue) / 8.
inline uint32_t Mean3(const uint32_t* c) { return (c[0] + c[1] + c[2]) / 3; }
inline uint32_t Brightness(const uint32_t* c) { return (3 * c[0] + c[2] + 4 * c[1]) >> 3; }

// The bank colour a grey level L picks: two, three or four bands.
inline int BankOfTwo(uint32_t L) { return L < 0x7FFF ? 0 : 1; }
inline int BankOfThree(uint32_t L) { return L < 0x5555 ? 0 : L < 0xAAAA ? 1 : 2; }
inline int BankOfFour(uint32_t L) { return L < 0x3FFF ? 0 : L < 0x7FFF ? 1 : L < 0xBFFF ? 2 : 3; }

// A gradient through banks 0, 1 and 2 by the grey level: 0 gives bank 0, the middle bank 1.
inline uint32_t BankGradient(const uint16_t (*banks)[4], int c, uint32_t L) {
  if (L < 0x7FFF) {
    const uint32_t f = (2 * L) >> 8;
    return (banks[c][1] * f + banks[c][0] * (256 - f)) >> 8;
  }
  const uint32_t f = (2 * L - 0xFFFE) >> 8;
  return (banks[c][1] * (256 - f) + banks[c][2] * f) >> 8;
}

}  // namespace brush::rules
