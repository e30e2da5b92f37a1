// The alpha-mode pre-pass (ApplyAlphaModePrePass without the same-alpha-mode column) on four
// pixels at once, for the modes that keep their operator: each rule written again in 32-bit
// integer lanes, or in doubles where an exact integer quotient is needed. Included only from
// files built for AVX2.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "render/merge_mode_names.h"

namespace render {
namespace prepass_lanes {

// The modes done here. "Alpha Shader Texture2" and "Alpha Highlight Texture2" redirect some
// pixels to another operator and stay with the scalar pre-pass.
constexpr bool HasPrePassLanes(int32_t mode) {
  return IsAlphaMode(mode) && mode != kModeAlphaShaderTexture2 &&
         mode != kModeAlphaHighlightTexture2;
}

inline __m128i Splat(int32_t v) { return _mm_set1_epi32(v); }
inline __m128i Pick(__m128i mask, __m128i yes, __m128i no) {
  return _mm_blendv_epi8(no, yes, mask);
}
inline __m128i Above(__m128i x, int32_t v) { return _mm_cmpgt_epi32(x, Splat(v)); }
inline __m128i Below(__m128i x, int32_t v) { return _mm_cmplt_epi32(x, Splat(v)); }

// trunc(n / d) of non-negative integers below 2^53 held as doubles: the quotient's distance
// from the next integer (at least 1 / d) is far above the rounding of one division.
inline __m128i Quotient(__m256d n, __m256d d) { return _mm256_cvttpd_epi32(_mm256_div_pd(n, d)); }
inline __m256d Wide(__m128i v) { return _mm256_cvtepi32_pd(v); }

// (c0 + c1 + c2) / 3.
inline __m128i MeanOfThree(const __m128i c[3]) {
  const __m128i sum = _mm_add_epi32(_mm_add_epi32(c[0], c[1]), c[2]);
  return Quotient(Wide(sum), _mm256_set1_pd(3.0));
}

// LightenBy(c, num, den) = c + trunc((65535 - c) num / den).
inline __m128i LightenBy(__m128i c, __m128i num, double den) {
  const __m256d n = Wide(_mm_sub_epi32(Splat(65535), c)) * Wide(num);
  return _mm_add_epi32(c, Quotient(n, _mm256_set1_pd(den)));
}

// DarkenBy(c, num, den) = trunc(c (den - num) / den), 0 where num passes den.
inline __m128i DarkenBy(__m128i c, __m128i num, int32_t den) {
  const __m128i keep = _mm_sub_epi32(Splat(den), num);
  const __m256d n = Wide(c) * Wide(keep);
  const __m128i q = Quotient(n, _mm256_set1_pd(double(den)));
  return _mm_andnot_si128(_mm_cmplt_epi32(keep, _mm_setzero_si128()), q);
}

// The lighten-above, darken-below colour rules of the Lum modes about a pivot.
inline void PivotColour(const __m128i a, __m128i c[3], int32_t pivot, double lightenDen,
                        int32_t darkenDen) {
  const __m128i up = Above(a, pivot);
  const __m128i upBy = _mm_sub_epi32(a, Splat(pivot));
  const __m128i downBy = _mm_sub_epi32(Splat(pivot), a);
  for (int k = 0; k < 3; ++k)
    c[k] = Pick(up, LightenBy(c[k], upBy, lightenDen), DarkenBy(c[k], downBy, darkenDen));
}

// Faint pixels vanish, the rest take K; a clear pixel stays clear.
inline __m128i Cut(__m128i a, __m128i K) { return _mm_andnot_si128(Below(a, 8191), K); }

// As Cut, with a ramp 65535 - min(65535, (9215 - a) 64) between 8191 and 9215.
inline __m128i Ramp(__m128i a, __m128i K) {
  const __m128i ramp = _mm_sub_epi32(
      Splat(65535), _mm_min_epi32(Splat(65535), _mm_slli_epi32(_mm_sub_epi32(Splat(9215), a), 6)));
  return _mm_andnot_si128(Below(a, 8191), Pick(Above(a, 9214), K, ramp));
}

// The pre-pass of alpha mode kMode on four pixels (a, c) with K the alpha-layer opacity.
template <int32_t kMode>
inline void PrePassFour(__m128i K, __m128i& a, __m128i c[3]) {
  static_assert(HasPrePassLanes(kMode));
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = Splat(65535);
  const __m128i some = _mm_cmpgt_epi32(a, zero);
  if constexpr (kMode == kModeLayerMask) {
    a = zero;
  } else if constexpr (kMode == kModeLuminanceAlpha) {
    a = MeanOfThree(c);
    c[0] = c[1] = c[2] = full;
  } else if constexpr (kMode == kModeLuminanceAlphaInvert) {
    a = _mm_sub_epi32(full, MeanOfThree(c));
    c[0] = c[1] = c[2] = zero;
  } else if constexpr (kMode == kModeAlphaNormal) {
    a = _mm_and_si128(some, K);
  } else if constexpr (kMode == kModeAlphaFilter) {
    a = _mm_sub_epi32(full, a);
    c[0] = c[1] = c[2] = full;
  } else if constexpr (kMode == kModeAlphaBlackOutline || kMode == kModeAlphaOverlayOutline) {
    const __m128i edge = _mm_and_si128(some, Below(a, 65280));
    a = Pick(edge, K, a);
    for (int k = 0; k < 3; ++k) c[k] = _mm_andnot_si128(edge, c[k]);
  } else if constexpr (kMode == kModeAlphaOutlineTint1 || kMode == kModeAlphaOutlineTint2) {
    a = Pick(some, Pick(Above(a, 12286), K, _mm_sub_epi32(full, a)), a);
  } else if constexpr (kMode == kModeAlphaInvert) {
    a = Pick(some, _mm_sub_epi32(full, a), a);
  } else if constexpr (kMode == kModeAlphaShader) {
    for (int k = 0; k < 3; ++k) c[k] = Pick(some, a, c[k]);
    a = Pick(some, K, a);
  } else if constexpr (kMode == kModeAlphaShaderColor) {
    // Below mid-grey c - 2 (32767 - a) held at 0, above it c + 2 (a - 32767) held at 65535: one
    // sum, clamped at both ends.
    const __m128i shift = _mm_slli_epi32(_mm_sub_epi32(a, Splat(32767)), 1);
    for (int k = 0; k < 3; ++k)
      c[k] = Pick(some, _mm_min_epi32(full, _mm_max_epi32(zero, _mm_add_epi32(c[k], shift))), c[k]);
    a = Pick(some, K, a);
  } else if constexpr (kMode == kModeAlphaSmooth) {
    const __m128i e = _mm_slli_epi32(_mm_sub_epi32(Splat(32767), a), 2);
    const __m128i faded = _mm_andnot_si128(_mm_cmplt_epi32(a, e), _mm_sub_epi32(a, e));
    a = Pick(some, Pick(Above(a, 32766), K, faded), a);
  } else if constexpr (kMode == kModeAlphaSmooth2) {
    a = Ramp(a, K);
  } else if constexpr (kMode == kModeAlphaSmoothLum) {
    PivotColour(a, c, 32767, 32767.0, 32767);
    a = Cut(a, K);
  } else if constexpr (kMode == kModeAlphaSmoothLum2) {
    PivotColour(a, c, 32767, 32767.0, 65535);
    a = Cut(a, K);
  } else if constexpr (kMode == kModeAlphaSmoothLum3) {
    PivotColour(a, c, 36862, 28672.0, 30000);
    a = Cut(a, K);
  } else if constexpr (kMode == kModeAlphaSmoothLum4) {
    PivotColour(a, c, 36862, 28672.0, 30000);
    a = Ramp(a, K);
  } else if constexpr (kMode == kModeAlphaSmoothLum5) {
    PivotColour(a, c, 32767, 32767.0, 32767);
    a = Ramp(a, K);
  } else {
    static_assert(kMode == kModeAlphaHighlight);
    a = _mm_andnot_si128(Above(a, 32512), a);
  }
}

}  // namespace prepass_lanes
}  // namespace render
