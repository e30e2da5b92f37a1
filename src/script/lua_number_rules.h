// How script numbers become the engine's integers. Scripts may pass any number, including huge
// values, infinities and NaN; each rule is defined for all of them.
#pragma once

#include <cmath>
#include <cstdint>

namespace script {

// trunc(v * 255) limited to 0..255; NaN gives 0.
inline uint8_t ChannelByte(double v) {
  const double t = v * 255.0;
  if (t >= 255.0) return 255;
  if (t > 0.0) return static_cast<uint8_t>(t);
  return 0;
}

// trunc(v) as a 32-bit integer, wrapping modulo 2^32 like the machine's integers; NaN and
// infinities give 0.
inline int32_t WrapToInt32(double v) {
  if (!std::isfinite(v)) return 0;
  double t = std::fmod(std::trunc(v), 4294967296.0);
  if (t < 0) t += 4294967296.0;
  return static_cast<int32_t>(static_cast<uint32_t>(t));
}

// trunc(v) limited to the 32-bit range; NaN gives 0.
inline int32_t ClampToInt32(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// A coordinate truncated toward zero, or -1 when it does not fall on 0..limit-1.
inline int32_t PixelCoordinate(double v, int32_t limit) {
  if (!(v > -1.0 && v < static_cast<double>(limit))) return -1;
  return static_cast<int32_t>(v);
}

// Replaces NaN with 0 and limits infinities, for conversions that do no limiting of their own.
inline double Finite(double v) {
  if (!(v == v)) return 0.0;
  if (v > 1e9) return 1e9;
  if (v < -1e9) return -1e9;
  return v;
}

}  // namespace script
