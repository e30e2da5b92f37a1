// Slider arithmetic shared by the library effects' bodies.
#pragma once

#include <algorithm>
#include <cstdint>

#include "process/effect_call.h"
#include "process/effects/effect_context.h"

namespace process {

// Percent slider k (limited to 0..100) times factor, truncated toward zero.
inline int32_t Scaled(const EffectCall& call, int k, double factor) {
  return Trunc(std::clamp(double(call.Percent(k)), 0.0, 100.0) * factor);
}
// Percent slider k as a fraction 0..1.
inline double Fraction(const EffectCall& call, int k) {
  return std::clamp(double(call.Percent(k)), 0.0, 100.0) * 0.01;
}
// The square neighbourhood's radius of the mean, extreme and median filters: 1..11.
inline uint32_t NeighbourhoodRadius(const EffectCall& call) {
  return uint32_t(1 + Scaled(call, 1, 0.1));
}

}  // namespace process
