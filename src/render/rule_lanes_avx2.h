// The premultiplied channel X of the common blend rules on four double lanes, for the AVX2
// compositing kernels. Each is the scalar rule written again: the same operations in the same
// order, each rounded the same way. Included only from files built for AVX2 without contraction
// into fused multiply-adds.
#pragma once

#include <immintrin.h>

#include "render/blend_rules.h"
#include "render/pixel_lanes_avx2.h"

namespace render {
namespace rule_lanes {

// Four doubles with the arithmetic operators of the scalar rules (GCC vector extensions: each
// operator is one IEEE operation, never fused).
using D4 = __m256d;

inline D4 Pick(D4 mask, D4 yes, D4 no) { return _mm256_blendv_pd(no, yes, mask); }
inline D4 Greater(D4 x, D4 y) { return _mm256_cmp_pd(x, y, _CMP_GT_OQ); }
inline D4 Less(D4 x, D4 y) { return _mm256_cmp_pd(x, y, _CMP_LT_OQ); }
inline D4 LessOrEqual(D4 x, D4 y) { return _mm256_cmp_pd(x, y, _CMP_LE_OQ); }
inline D4 GreaterOrEqual(D4 x, D4 y) { return _mm256_cmp_pd(x, y, _CMP_GE_OQ); }
inline D4 Splat(double v) { return _mm256_set1_pd(v); }

// The premultiplied channel of one rule: Sc, Dc of one channel, Sa, Da of the pixel.
inline D4 Rest(D4 Sc, D4 Dc, D4 Sa, D4 Da) {
  const D4 one = Splat(1.0);
  return Sc * (one - Da) + Dc * (one - Sa);
}

template <BlendRule kRule>
inline D4 RuleX(D4 Sc, D4 Dc, D4 Sa, D4 Da) {
  const D4 one = Splat(1.0);
  const D4 two = Splat(2.0);
  if constexpr (kRule == BlendRule::kNormal) {
    return Sc + Dc * (one - Sa);
  } else if constexpr (kRule == BlendRule::kMultiply) {
    return Sc * Dc + Rest(Sc, Dc, Sa, Da);
  } else if constexpr (kRule == BlendRule::kScreen) {
    return Sc + Dc - Sc * Dc;
  } else if constexpr (kRule == BlendRule::kDarken || kRule == BlendRule::kLighten) {
    const D4 sourceOver = Sc + Dc * (one - Sa);
    const D4 destOver = Dc + Sc * (one - Da);
    const D4 sourceWins =
        kRule == BlendRule::kDarken ? Greater(Dc * Sa, Sc * Da) : Less(Dc * Sa, Sc * Da);
    return Pick(sourceWins, sourceOver, destOver);
  } else if constexpr (kRule == BlendRule::kOverlay) {
    const D4 rest = Rest(Sc, Dc, Sa, Da);
    const D4 multiplied = two * Sc * Dc + rest;
    const D4 screened = Sa * Da - two * (Da - Dc) * (Sa - Sc) + rest;
    return Pick(Greater(Da, two * Dc), multiplied, screened);
  } else if constexpr (kRule == BlendRule::kSoftLight) {
    const D4 m = Dc / Da;
    const D4 rootM = _mm256_sqrt_pd(m);
    const D4 k = two * Sc - Sa;
    const D4 rest = Rest(Sc, Dc, Sa, Da);
    const D4 darkSource = Dc * (Sa + k * (one - m)) + rest;
    const D4 darkDest = Dc * (Sa + k * (one - m) * (Splat(3.0) - Splat(8.0) * m)) + rest;
    const D4 light = Dc * Sa + k * (Da * rootM - Dc) + rest;
    const D4 lighter = Pick(GreaterOrEqual(Da, Splat(8.0) * Dc), darkDest, light);
    return Pick(Greater(Sa, two * Sc), darkSource, lighter);
  } else if constexpr (kRule == BlendRule::kDodge) {
    const D4 rest = Rest(Sc, Dc, Sa, Da);
    const D4 saturated = Sa * Da + rest;
    const D4 quotient = Dc * Sa / (one - Sc / Sa) + rest;
    return Pick(LessOrEqual(Sa * Da, Sc * Da + Dc * Sa), saturated, quotient);
  } else if constexpr (kRule == BlendRule::kBurn) {
    const D4 rest = Rest(Sc, Dc, Sa, Da);
    const D4 burnt = Sa * (Sc * Da + Dc * Sa - Sa * Da) / Sc + rest;
    return Pick(Less(Sa * Da, Sc * Da + Dc * Sa), burnt, rest);
  } else if constexpr (kRule == BlendRule::kAdd) {
    return Sc + Dc;
  } else {
    static_assert(kRule == BlendRule::kSubtract);
    return Sc + Dc - Sa * Da;
  }
}

// Whether the rule adds the alphas (R = Sa + Da) instead of laying the source over
// (R = Da + Sa (1 - Da)).
constexpr bool AddsAlphas(BlendRule rule) {
  return rule == BlendRule::kAdd || rule == BlendRule::kSubtract;
}

// The rules the lanes above cover.
constexpr bool HasRuleLanes(BlendRule rule) {
  switch (rule) {
    case BlendRule::kNormal:
    case BlendRule::kMultiply:
    case BlendRule::kScreen:
    case BlendRule::kDarken:
    case BlendRule::kLighten:
    case BlendRule::kOverlay:
    case BlendRule::kSoftLight:
    case BlendRule::kDodge:
    case BlendRule::kBurn:
    case BlendRule::kAdd:
    case BlendRule::kSubtract:
      return true;
    default:
      return false;
  }
}

}  // namespace rule_lanes
}  // namespace render
