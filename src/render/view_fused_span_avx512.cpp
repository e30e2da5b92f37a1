// The view span on AVX-512 in one pass: eight positions at a time are carried through every entry
// of the render list and on to their output bytes, with the running composite held in registers
// throughout (the span kernels of the AVX2 path write and re-read span buffers between the
// pre-pass, the covering test, each entry's blend and the output stage).
//
// Per group of eight positions, as CompositeViewPixel and WriteViewPixel do per position:
//   1. From the top down, the topmost entry whose prepared pixel replaces everything below it
//      (`start`); a copy at alpha 65535 also settles that something lies below.
//   2. From the bottom up: under `start` an entry only says whether it lays anything down
//      (`filled`, read while still unknown); at `start` it begins the composite; above it, it is
//      combined: laid over an empty composite, copied when opaque under operator 0, else blended
//      by its rule in doubles.
//   3. The 16-bit composite, the tracing image, the checkerboard and the mask tint, as bytes.
// A composite made by a copy keeps the integer pixel and is turned into doubles only when a blend
// reads it, by the conversion the scalar composite applies. The blends and pre-passes are the
// scalar rules written again with the same operations in the same order (this file is built
// without contraction into fused multiply-adds), so every byte is the per-pixel path's.
#include "render/view_span.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "render/blend_rules.h"
#include "render/merge_mode_names.h"

// GCC 12 warns about the deliberately undefined vectors inside its own AVX-512 intrinsics.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace render {

#if defined(__x86_64__) || defined(__i386__)
namespace {

// The helpers below run inside the loop over one group's entries; inlined, the group's composite
// never leaves the registers.
#define PMR_INLINE [[gnu::always_inline]] inline

using D8 = __m512d;
using I8 = __m256i;
using Mask = __mmask8;

PMR_INLINE D8 Splat(double v) { return _mm512_set1_pd(v); }
PMR_INLINE I8 SplatI(int32_t v) { return _mm256_set1_epi32(v); }
PMR_INLINE D8 Wide(I8 v) { return _mm512_cvtepi32_pd(v); }
PMR_INLINE D8 Pick(Mask m, D8 yes, D8 no) { return _mm512_mask_blend_pd(m, no, yes); }
PMR_INLINE I8 PickI(Mask m, I8 yes, I8 no) { return _mm256_mask_blend_epi32(m, no, yes); }
PMR_INLINE Mask Greater(D8 x, D8 y) { return _mm512_cmp_pd_mask(x, y, _CMP_GT_OQ); }
PMR_INLINE Mask Less(D8 x, D8 y) { return _mm512_cmp_pd_mask(x, y, _CMP_LT_OQ); }
PMR_INLINE Mask LessOrEqual(D8 x, D8 y) { return _mm512_cmp_pd_mask(x, y, _CMP_LE_OQ); }
PMR_INLINE Mask GreaterOrEqual(D8 x, D8 y) { return _mm512_cmp_pd_mask(x, y, _CMP_GE_OQ); }
PMR_INLINE Mask AboveI(I8 x, int32_t v) { return _mm256_cmpgt_epi32_mask(x, SplatI(v)); }
PMR_INLINE Mask BelowI(I8 x, int32_t v) { return _mm256_cmplt_epi32_mask(x, SplatI(v)); }
PMR_INLINE Mask EqualI(I8 x, int32_t v) { return _mm256_cmpeq_epi32_mask(x, SplatI(v)); }

// The scalar Clamp01: maxpd and minpd return their second operand when the comparison fails (a
// NaN included), which is v > 0 ? v : 0, then low < 1 ? low : 1.
PMR_INLINE D8 Clamp01(D8 v) {
  return _mm512_min_pd(_mm512_max_pd(v, _mm512_setzero_pd()), Splat(1.0));
}

// trunc(n / d) of non-negative integers below 2^53 held as doubles: the quotient's distance from
// the next integer (at least 1 / d) is far above the rounding of one division.
PMR_INLINE I8 Quotient(D8 n, double d) { return _mm512_cvttpd_epi32(_mm512_div_pd(n, Splat(d))); }

// ---------------------------------------------------------------------------------------------
// Pixels.

// Eight pixels, channel by channel, as 32-bit integers.
struct Pixels8 {
  I8 c[3];
  I8 a;
};

// Word j of the channel-wise order is word kToChannels[j] of the pixel order: r0..r7 g0..g7
// b0..b7 a0..a7 from r0 g0 b0 a0 r1 ...
constexpr uint16_t kToChannels[32] = {0, 4, 8,  12, 16, 20, 24, 28, 1, 5, 9,  13, 17, 21, 25, 29,
                                      2, 6, 10, 14, 18, 22, 26, 30, 3, 7, 11, 15, 19, 23, 27, 31};

PMR_INLINE Pixels8 Split(__m512i pixels) {
  const __m512i grouped = _mm512_permutexvar_epi16(_mm512_loadu_si512(kToChannels), pixels);
  const __m512i rg = _mm512_cvtepu16_epi32(_mm512_castsi512_si256(grouped));
  const __m512i ba = _mm512_cvtepu16_epi32(_mm512_extracti64x4_epi64(grouped, 1));
  return {
      {_mm512_castsi512_si256(rg), _mm512_extracti64x4_epi64(rg, 1), _mm512_castsi512_si256(ba)},
      _mm512_extracti64x4_epi64(ba, 1)};
}

// Where a group's pixels lie: a contiguous group reads eight pixels from `first` on (only the
// `valid` ones, so nothing past the span is touched); a sampled one gathers them at its columns
// from the row start, the columns being filled up to whole groups with columns that may be read.
struct GroupAt {
  bool contiguous;
  std::size_t first;  // offset of the group's first pixel from the row start, in samples
  I8 columns;
  Mask valid;
};

PMR_INLINE Pixels8 LoadPixels(const uint16_t* row, const GroupAt& g) {
  if (g.contiguous) return Split(_mm512_maskz_loadu_epi64(g.valid, row + g.first));
  return Split(_mm512_i32gather_epi64(g.columns, reinterpret_cast<const long long*>(row), 8));
}

// ---------------------------------------------------------------------------------------------
// The alpha-mode pre-pass (the view never merges two layers of one alpha mode, so the column for
// a clear same-alpha-mode flag), on eight pixels, for the modes that keep their operator.

// (c0 + c1 + c2) / 3.
PMR_INLINE I8 MeanOfThree(const I8 c[3]) {
  return Quotient(Wide(_mm256_add_epi32(_mm256_add_epi32(c[0], c[1]), c[2])), 3.0);
}

// c + trunc((65535 - c) num / den).
PMR_INLINE I8 LightenBy(I8 c, I8 num, double den) {
  const D8 n = Wide(_mm256_sub_epi32(SplatI(65535), c)) * Wide(num);
  return _mm256_add_epi32(c, Quotient(n, den));
}

// trunc(c (den - num) / den), 0 where num passes den.
PMR_INLINE I8 DarkenBy(I8 c, I8 num, int32_t den) {
  const I8 keep = _mm256_sub_epi32(SplatI(den), num);
  const I8 q = Quotient(Wide(c) * Wide(keep), double(den));
  return _mm256_maskz_mov_epi32(Mask(~BelowI(keep, 0)), q);
}

// The lighten-above, darken-below colour rules of the Lum modes about a pivot.
PMR_INLINE void PivotColour(I8 a, I8 c[3], int32_t pivot, double lightenDen, int32_t darkenDen) {
  const Mask up = AboveI(a, pivot);
  const I8 upBy = _mm256_sub_epi32(a, SplatI(pivot));
  const I8 downBy = _mm256_sub_epi32(SplatI(pivot), a);
  for (int k = 0; k < 3; ++k)
    c[k] = PickI(up, LightenBy(c[k], upBy, lightenDen), DarkenBy(c[k], downBy, darkenDen));
}

// Faint pixels vanish, the rest take K; a clear pixel stays clear.
PMR_INLINE I8 Cut(I8 a, I8 K) { return _mm256_maskz_mov_epi32(Mask(~BelowI(a, 8191)), K); }

// As Cut, with a ramp 65535 - min(65535, (9215 - a) 64) between 8191 and 9215.
PMR_INLINE I8 Ramp(I8 a, I8 K) {
  const I8 ramp = _mm256_sub_epi32(
      SplatI(65535),
      _mm256_min_epi32(SplatI(65535), _mm256_slli_epi32(_mm256_sub_epi32(SplatI(9215), a), 6)));
  return _mm256_maskz_mov_epi32(Mask(~BelowI(a, 8191)), PickI(AboveI(a, 9214), K, ramp));
}

// texture: the pixels whose operator the pre-pass switches to Texturize2.
template <int32_t kMode>
PMR_INLINE void PrePass8(I8 K, I8& a, I8 c[3], Mask& texture) {
  const I8 zero = _mm256_setzero_si256();
  const I8 full = SplatI(65535);
  const Mask some = AboveI(a, 0);
  if constexpr (kMode == kModeLayerMask) {
    a = zero;
  } else if constexpr (kMode == kModeLuminanceAlpha) {
    a = MeanOfThree(c);
    c[0] = c[1] = c[2] = full;
  } else if constexpr (kMode == kModeLuminanceAlphaInvert) {
    a = _mm256_sub_epi32(full, MeanOfThree(c));
    c[0] = c[1] = c[2] = zero;
  } else if constexpr (kMode == kModeAlphaNormal) {
    a = _mm256_maskz_mov_epi32(some, K);
  } else if constexpr (kMode == kModeAlphaFilter) {
    a = _mm256_sub_epi32(full, a);
    c[0] = c[1] = c[2] = full;
  } else if constexpr (kMode == kModeAlphaBlackOutline || kMode == kModeAlphaOverlayOutline) {
    const Mask edge = some & BelowI(a, 65280);
    a = PickI(edge, K, a);
    for (int k = 0; k < 3; ++k) c[k] = _mm256_maskz_mov_epi32(Mask(~edge), c[k]);
  } else if constexpr (kMode == kModeAlphaOutlineTint1 || kMode == kModeAlphaOutlineTint2) {
    a = PickI(some, PickI(AboveI(a, 12286), K, _mm256_sub_epi32(full, a)), a);
  } else if constexpr (kMode == kModeAlphaInvert) {
    a = PickI(some, _mm256_sub_epi32(full, a), a);
  } else if constexpr (kMode == kModeAlphaShader) {
    for (int k = 0; k < 3; ++k) c[k] = PickI(some, a, c[k]);
    a = PickI(some, K, a);
  } else if constexpr (kMode == kModeAlphaShaderColor || kMode == kModeAlphaShaderTexture2) {
    // Below mid-grey c - 2 (32767 - a) held at 0, above it c + 2 (a - 32767) held at 65535: one
    // sum, clamped at both ends.
    const I8 shift = _mm256_slli_epi32(_mm256_sub_epi32(a, SplatI(32767)), 1);
    for (int k = 0; k < 3; ++k) {
      const I8 moved =
          _mm256_min_epi32(full, _mm256_max_epi32(zero, _mm256_add_epi32(c[k], shift)));
      c[k] = PickI(some, moved, c[k]);
    }
    a = PickI(some, K, a);
    if constexpr (kMode == kModeAlphaShaderTexture2) texture = some;
  } else if constexpr (kMode == kModeAlphaHighlightTexture2) {
    // Above mid-grey lightened by 2 (a - 32767) and given K, below it faded by 2 (32767 - a).
    const Mask bright = AboveI(a, 32766);
    const I8 lift = _mm256_slli_epi32(_mm256_sub_epi32(a, SplatI(32767)), 1);
    for (int k = 0; k < 3; ++k)
      c[k] = PickI(some & bright, _mm256_min_epi32(full, _mm256_add_epi32(c[k], lift)), c[k]);
    const I8 e = _mm256_slli_epi32(_mm256_sub_epi32(SplatI(32767), a), 1);
    const I8 faded =
        _mm256_maskz_mov_epi32(Mask(~_mm256_cmplt_epi32_mask(a, e)), _mm256_sub_epi32(a, e));
    a = PickI(some, PickI(bright, K, faded), a);
    texture = some;
  } else if constexpr (kMode == kModeAlphaSmooth) {
    const I8 e = _mm256_slli_epi32(_mm256_sub_epi32(SplatI(32767), a), 2);
    const I8 faded =
        _mm256_maskz_mov_epi32(Mask(~_mm256_cmplt_epi32_mask(a, e)), _mm256_sub_epi32(a, e));
    a = PickI(some, PickI(AboveI(a, 32766), K, faded), a);
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
    a = _mm256_maskz_mov_epi32(Mask(~AboveI(a, 32512)), a);
  }
}

PMR_INLINE void PrePassByMode(int32_t mode, I8 K, I8& a, I8 c[3], Mask& texture) {
  switch (mode) {
#define PMR_PREPASS_CASE(m) \
  case m:                   \
    return PrePass8<m>(K, a, c, texture);
    PMR_PREPASS_CASE(kModeAlphaNormal)
    PMR_PREPASS_CASE(kModeAlphaFilter)
    PMR_PREPASS_CASE(kModeAlphaBlackOutline)
    PMR_PREPASS_CASE(kModeAlphaOutlineTint1)
    PMR_PREPASS_CASE(kModeAlphaOutlineTint2)
    PMR_PREPASS_CASE(kModeAlphaInvert)
    PMR_PREPASS_CASE(kModeAlphaShader)
    PMR_PREPASS_CASE(kModeAlphaShaderColor)
    PMR_PREPASS_CASE(kModeAlphaShaderTexture2)
    PMR_PREPASS_CASE(kModeAlphaHighlightTexture2)
    PMR_PREPASS_CASE(kModeAlphaSmooth)
    PMR_PREPASS_CASE(kModeAlphaSmooth2)
    PMR_PREPASS_CASE(kModeAlphaSmoothLum)
    PMR_PREPASS_CASE(kModeAlphaSmoothLum2)
    PMR_PREPASS_CASE(kModeAlphaSmoothLum3)
    PMR_PREPASS_CASE(kModeAlphaSmoothLum4)
    PMR_PREPASS_CASE(kModeAlphaSmoothLum5)
    PMR_PREPASS_CASE(kModeAlphaOverlayOutline)
    PMR_PREPASS_CASE(kModeAlphaHighlight)
    PMR_PREPASS_CASE(kModeLayerMask)
    PMR_PREPASS_CASE(kModeLuminanceAlpha)
    PMR_PREPASS_CASE(kModeLuminanceAlphaInvert)
#undef PMR_PREPASS_CASE
    default:
      return;  // the list holds only the modes above (ViewFusedSpanVector checks)
  }
}

// ---------------------------------------------------------------------------------------------
// The blend rules: the premultiplied result X of one channel, term for term as the scalar rule.

PMR_INLINE D8 Rest(D8 Sc, D8 Dc, D8 Sa, D8 Da) {
  const D8 one = Splat(1.0);
  return Sc * (one - Da) + Dc * (one - Sa);
}

template <BlendRule kRule>
PMR_INLINE D8 RuleX(D8 Sc, D8 Dc, D8 Sa, D8 Da) {
  const D8 one = Splat(1.0);
  const D8 two = Splat(2.0);
  if constexpr (kRule == BlendRule::kNormal) {
    return Sc + Dc * (one - Sa);
  } else if constexpr (kRule == BlendRule::kMultiply) {
    return Sc * Dc + Rest(Sc, Dc, Sa, Da);
  } else if constexpr (kRule == BlendRule::kScreen) {
    return Sc + Dc - Sc * Dc;
  } else if constexpr (kRule == BlendRule::kDarken || kRule == BlendRule::kLighten) {
    const D8 sourceOver = Sc + Dc * (one - Sa);
    const D8 destOver = Dc + Sc * (one - Da);
    const Mask sourceWins =
        kRule == BlendRule::kDarken ? Greater(Dc * Sa, Sc * Da) : Less(Dc * Sa, Sc * Da);
    return Pick(sourceWins, sourceOver, destOver);
  } else if constexpr (kRule == BlendRule::kDifference) {
    // std::min(Sc Da, Dc Sa): the second when it is the smaller, else the first.
    const D8 sourceSide = Sc * Da, destSide = Dc * Sa;
    return Sc + Dc - two * Pick(Less(destSide, sourceSide), destSide, sourceSide);
  } else if constexpr (kRule == BlendRule::kExclusion) {
    return Sc * Da + Dc * Sa - two * Sc * Dc + Rest(Sc, Dc, Sa, Da);
  } else if constexpr (kRule == BlendRule::kOverlay || kRule == BlendRule::kHardLight) {
    const D8 rest = Rest(Sc, Dc, Sa, Da);
    const D8 multiplied = two * Sc * Dc + rest;
    const D8 screened = Sa * Da - two * (Da - Dc) * (Sa - Sc) + rest;
    const Mask multiplyHalf =
        kRule == BlendRule::kOverlay ? Greater(Da, two * Dc) : Greater(Sa, two * Sc);
    return Pick(multiplyHalf, multiplied, screened);
  } else if constexpr (kRule == BlendRule::kSoftLight) {
    const D8 m = Dc / Da;
    const D8 rootM = _mm512_sqrt_pd(m);
    const D8 k = two * Sc - Sa;
    const D8 rest = Rest(Sc, Dc, Sa, Da);
    const D8 darkSource = Dc * (Sa + k * (one - m)) + rest;
    const D8 darkDest = Dc * (Sa + k * (one - m) * (Splat(3.0) - Splat(8.0) * m)) + rest;
    const D8 light = Dc * Sa + k * (Da * rootM - Dc) + rest;
    const D8 lighter = Pick(GreaterOrEqual(Da, Splat(8.0) * Dc), darkDest, light);
    return Pick(Greater(Sa, two * Sc), darkSource, lighter);
  } else if constexpr (kRule == BlendRule::kDodge) {
    const D8 rest = Rest(Sc, Dc, Sa, Da);
    const D8 saturated = Sa * Da + rest;
    const D8 quotient = Dc * Sa / (one - Sc / Sa) + rest;
    return Pick(LessOrEqual(Sa * Da, Sc * Da + Dc * Sa), saturated, quotient);
  } else if constexpr (kRule == BlendRule::kBurn) {
    const D8 rest = Rest(Sc, Dc, Sa, Da);
    const D8 burnt = Sa * (Sc * Da + Dc * Sa - Sa * Da) / Sc + rest;
    return Pick(Less(Sa * Da, Sc * Da + Dc * Sa), burnt, rest);
  } else if constexpr (kRule == BlendRule::kAdd) {
    return Sc + Dc;
  } else {
    static_assert(kRule == BlendRule::kSubtract);
    return Sc + Dc - Sa * Da;
  }
}

// ---------------------------------------------------------------------------------------------
// The running composites of a group.

struct Composite {
  Mask copied;  // holds an entry's integer pixel unchanged (cc, ca); else the doubles (c, A)
  I8 cc[3], ca;
  D8 c[3], A;
};

// The composite as a blend reads it: A and the unpremultiplied colour, turned into doubles where
// it still holds a copy, by the conversion the scalar composite applies.
struct Destination {
  D8 Da;
  D8 u[3];
};

PMR_INLINE Destination ReadComposite(const Composite& q) {
  Destination d;
  d.Da = Pick(q.copied, Wide(q.ca) * Splat(1.0 / 65535.0), q.A);
  for (int k = 0; k < 3; ++k) d.u[k] = Pick(q.copied, Wide(q.cc[k]) * Splat(1.0 / 65280.0), q.c[k]);
  return d;
}

// The source (s, a) blended by one rule over the composites in `take`: BlendOverViewComposite.
// With kOpaqueDest every composite taken has Da exactly 1, so Dc = u, R = Da + Sa (1 - Da) (or
// clamp(Sa + Da), or Da) is exactly 1, and X (1 / R) is X: the division is left out, with the
// same values.
template <BlendRule kRule, bool kOpaqueDest>
PMR_INLINE void BlendInto(Composite& q, const Destination& d, Mask take, const I8 s[3], I8 a) {
  const D8 one = Splat(1.0);
  const D8 Sa = Wide(a) * Splat(kInvAlphaOne);
  const D8 Da = kOpaqueDest ? one : d.Da;
  D8 Sc[3], Dc[3];
  for (int k = 0; k < 3; ++k) {
    Sc[k] = Wide(s[k]) * Splat(kInvColorOne) * Sa;
    Dc[k] = kOpaqueDest ? d.u[k] : d.u[k] * Da;
  }
  D8 X[3], R;
  if constexpr (kRule == BlendRule::kColor || kRule == BlendRule::kHardColor) {
    // The source shifted by the destination's brightness around mid-grey; R = Da.
    const D8 L = (Dc[0] + Dc[1] + Dc[2]) / Splat(3.0);
    const D8 shift =
        kRule == BlendRule::kColor ? Sa * (L - Splat(0.5)) : Sa * (Splat(1.75) * (L - Splat(0.5)));
    for (int k = 0; k < 3; ++k) X[k] = Sc[k] + shift + Dc[k] * (one - Sa);
    R = Da;
  } else if constexpr (kRule == BlendRule::kTexturize || kRule == BlendRule::kTexturize2) {
    // The destination colour u as it stands pushed by the source brightness ls around mid-grey
    // (Texturize first moves the brightness by the destination's mean); R = Da.
    const D8 ls =
        Wide(_mm256_add_epi32(_mm256_add_epi32(s[0], s[1]), s[2])) * Splat(kInvThreeColorOne);
    D8 z;
    if constexpr (kRule == BlendRule::kTexturize) {
      const D8 J = (d.u[0] + d.u[1] + d.u[2]) / Splat(3.0) + Sa * (ls - Splat(0.5));
      z = Splat(1.75) * Sa * (J - Splat(0.5));
    } else {
      z = Splat(1.75) * Sa * (ls - Splat(0.5));
    }
    for (int k = 0; k < 3; ++k) X[k] = d.u[k] + z;
    R = Da;
  } else {
    for (int k = 0; k < 3; ++k) X[k] = RuleX<kRule>(Sc[k], Dc[k], Sa, Da);
    const bool addsAlphas = kRule == BlendRule::kAdd || kRule == BlendRule::kSubtract;
    R = addsAlphas ? Sa + Da : Da + Sa * (one - Da);
  }
  if constexpr (kOpaqueDest) {
    for (int k = 0; k < 3; ++k) q.c[k] = _mm512_mask_mov_pd(q.c[k], take, Clamp01(X[k]));
    q.A = _mm512_mask_mov_pd(q.A, take, one);
  } else {
    R = Clamp01(R);
    const D8 perR = one / R;
    for (int k = 0; k < 3; ++k) q.c[k] = _mm512_mask_mov_pd(q.c[k], take, Clamp01(X[k] * perR));
    q.A = _mm512_mask_mov_pd(q.A, take, R);
  }
  q.copied = Mask(q.copied & ~take);
}

template <BlendRule kRule>
PMR_INLINE void BlendSome(Composite& q, Mask take, const I8 s[3], I8 a) {
  const Destination d = ReadComposite(q);
  if (_mm512_mask_cmp_pd_mask(take, d.Da, Splat(1.0), _CMP_NEQ_UQ) == 0) {
    BlendInto<kRule, true>(q, d, take, s, a);
  } else {
    BlendInto<kRule, false>(q, d, take, s, a);
  }
}

PMR_INLINE void BlendByRule(BlendRule rule, Composite& q, Mask take, const I8 s[3], I8 a) {
  switch (rule) {
#define PMR_RULE_CASE(r) \
  case BlendRule::r:     \
    return BlendSome<BlendRule::r>(q, take, s, a);
    PMR_RULE_CASE(kNormal)
    PMR_RULE_CASE(kMultiply)
    PMR_RULE_CASE(kScreen)
    PMR_RULE_CASE(kDarken)
    PMR_RULE_CASE(kLighten)
    PMR_RULE_CASE(kDifference)
    PMR_RULE_CASE(kExclusion)
    PMR_RULE_CASE(kOverlay)
    PMR_RULE_CASE(kHardLight)
    PMR_RULE_CASE(kSoftLight)
    PMR_RULE_CASE(kDodge)
    PMR_RULE_CASE(kBurn)
    PMR_RULE_CASE(kAdd)
    PMR_RULE_CASE(kSubtract)
    PMR_RULE_CASE(kColor)
    PMR_RULE_CASE(kHardColor)
    PMR_RULE_CASE(kTexturize)
    PMR_RULE_CASE(kTexturize2)
#undef PMR_RULE_CASE
    default:
      return;  // Texturize3 entries never reach the view (its layers are left out of the list)
  }
}

// ---------------------------------------------------------------------------------------------
// Entries.

// One entry's pixels as PrepareEntry leaves them: alpha after the layer mask, the pre-pass and
// the opacity; colour after the pre-pass. live: the pixel takes part (every pixel of an alpha
// mode and of the background, elsewhere those with some stored alpha).
struct Prepared {
  I8 s[3];
  I8 a;
  Mask live;
  Mask texture;  // blended by a texture rule (the entry's own, or Texturize2 by the pre-pass)
};

PMR_INLINE Prepared Prepare(const ViewEntry& e, std::size_t rowAt, const GroupAt& g, I8 K) {
  const Pixels8 p = LoadPixels(e.pixels + rowAt, g);
  const bool textureMode = !e.alphaMode && ModeInfo(e.mode).rule >= BlendRule::kTexturize;
  Prepared out{{p.c[0], p.c[1], p.c[2]}, p.a, Mask(0xFF), textureMode ? Mask(0xFF) : Mask(0)};
  if (e.background) {
    out.a = SplatI(65535);
  } else {
    if (!e.alphaMode) out.live = _mm256_test_epi32_mask(p.a, p.a);
    if (e.clip) {
      // Where the mask has coverage, a = (a m) >> 16 with m the mean of its colour; the product
      // of two 16-bit values fits 32 bits unsigned.
      const Pixels8 m = LoadPixels(e.clip + rowAt, g);
      const I8 scaled = _mm256_srli_epi32(_mm256_mullo_epi32(out.a, MeanOfThree(m.c)), 16);
      out.a = PickI(_mm256_test_epi32_mask(m.a, m.a), scaled, out.a);
    }
  }
  if (e.alphaMode) PrePassByMode(e.mode, K, out.a, out.s, out.texture);
  if (e.opacityScale)
    out.a = _mm256_srli_epi32(_mm256_mullo_epi32(out.a, SplatI(e.opacityScale)), 8);
  return out;
}

// Whether an entry's pixels lay anything down follows from their stored alpha alone: an ordinary
// mode of no texture rule without layer mask (alpha modes and layer masks need the colour, and
// a texture operator never lays anything over an empty composite).
PMR_INLINE bool SimpleAlpha(const ViewEntry& e) {
  return !e.alphaMode && !e.clip && ModeInfo(e.mode).rule < BlendRule::kTexturize;
}

// For such an entry: the positions where its prepared alpha is not 0. The background always
// lays its pixel down; elsewhere the stored alpha after the opacity.
PMR_INLINE Mask LaysDown(const ViewEntry& e, std::size_t rowAt, const GroupAt& g) {
  if (e.background) return Mask(0xFF);
  const uint16_t* row = e.pixels + rowAt;
  const __m512i pixels =
      g.contiguous ? _mm512_maskz_loadu_epi64(g.valid, row + g.first)
                   : _mm512_i32gather_epi64(g.columns, reinterpret_cast<const long long*>(row), 8);
  I8 a = _mm512_cvtepi64_epi32(_mm512_srli_epi64(pixels, 48));
  if (e.opacityScale) a = _mm256_srli_epi32(_mm256_mullo_epi32(a, SplatI(e.opacityScale)), 8);
  return _mm256_test_epi32_mask(a, a);
}

// ---------------------------------------------------------------------------------------------
// Output.

struct OutputConstants {
  I8 squareRow;
  I8 tintEven[3], tintOdd[3];
};

// The composites as 16-bit values (FinishViewSpan), then WriteViewPixel's tracing, checkerboard
// and mask tint in the same 32-bit unsigned arithmetic (products wrap the same way), as 24 bytes
// blue, green, red from out on (16 more may be overwritten).
PMR_INLINE void WriteGroup(const Composite& q, const ViewSpanOutputRow& row,
                           const OutputConstants& k, const GroupAt& g, int32_t j, uint8_t* out) {
  const ViewOutput& view = *row.out;
  const I8 full = SplatI(65535);
  I8 c[3];
  for (int n = 0; n < 3; ++n)
    c[n] = PickI(q.copied, q.cc[n], _mm512_cvttpd_epi32(q.c[n] * Splat(65280.0)));
  const I8 alpha = PickI(q.copied, q.ca, _mm512_cvttpd_epi32(q.A * Splat(65535.0)));
  const I8 cx = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row.cols + j));

  if (row.tracingRow) {
    const Pixels8 t = LoadPixels(row.tracingRow, g);
    for (int n = 0; n < 3; ++n) c[n] = _mm256_srli_epi32(_mm256_add_epi32(t.c[n], c[n]), 1);
  }
  const Mask odd =
      _mm256_test_epi32_mask(_mm256_add_epi32(_mm256_srai_epi32(cx, 5), k.squareRow), SplatI(1));
  const Mask seeThrough = BelowI(alpha, 65535);
  if (seeThrough) {
    const I8 behind = _mm256_srli_epi32(
        _mm256_mullo_epi32(PickI(odd, SplatI(40959), full), _mm256_sub_epi32(full, alpha)), 8);
    for (int n = 0; n < 3; ++n) {
      const I8 shown = _mm256_srli_epi32(
          _mm256_add_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(alpha, c[n]), 8), behind), 8);
      c[n] = PickI(seeThrough, shown, c[n]);
    }
  }
  I8 bytes[3];
  for (int n = 0; n < 3; ++n) bytes[n] = _mm256_srli_epi32(c[n], 8);
  if (row.maskRow) {
    I8 raw;
    if (g.contiguous) {
      raw = _mm256_cvtepu16_epi32(_mm_maskz_loadu_epi16(g.valid, row.maskRow + row.cols[j]));
    } else {
      alignas(32) int32_t m[8];
      for (int n = 0; n < 8; ++n) m[n] = row.maskRow[row.cols[j + n]];
      raw = _mm256_load_si256(reinterpret_cast<const __m256i*>(m));
    }
    // The 1:1 path leaves a fully open pixel untinted.
    const Mask tinted = row.skipOpenTint ? Mask(~EqualI(raw, 65535)) : Mask(0xFF);
    if (tinted) {
      const I8 m =
          view.fullStrength ? raw : _mm256_add_epi32(_mm256_srli_epi32(raw, 1), SplatI(32767));
      const I8 inv = _mm256_sub_epi32(full, m);
      for (int n = 0; n < 3; ++n) {
        const I8 tint = PickI(odd, k.tintOdd[n], k.tintEven[n]);
        const I8 mixed =
            _mm256_srli_epi32(_mm256_add_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(m, c[n]), 8),
                                               _mm256_srli_epi32(_mm256_mullo_epi32(inv, tint), 8)),
                              16);
        bytes[n] = PickI(tinted, mixed, bytes[n]);
      }
    }
  }
  // Blue, green, red: the low byte of each lane, three bytes a lane packed in each half.
  const I8 low = SplatI(0xFF);
  const I8 lanesBgr =
      _mm256_or_si256(_mm256_and_si256(bytes[2], low),
                      _mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(bytes[1], low), 8),
                                      _mm256_slli_epi32(_mm256_and_si256(bytes[0], low), 16)));
  const I8 packed = _mm256_shuffle_epi8(
      lanesBgr, _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4,
                                 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_extracti128_si256(packed, 1));
}

// ---------------------------------------------------------------------------------------------
// The span.

// How far ahead of the group at hand a contiguous span asks for its entries' pixels.
constexpr std::size_t kAheadPixels = 64;
constexpr int32_t kAheadSampled = 8;

void FusedSpanAvx512(const ViewRenderList& list, int32_t K, std::size_t rowAt,
                     const int32_t* columns, int32_t count, bool contiguous,
                     const ViewSpanOutputRow& row, uint8_t* bgr) {
  const I8 KK = SplatI(K);
  const I8 zero = _mm256_setzero_si256();
  OutputConstants k;
  k.squareRow = SplatI(row.cy >> 5);
  for (int n = 0; n < 3; ++n) {
    k.tintEven[n] = SplatI(int32_t(row.out->tintEven[n]));
    k.tintOdd[n] = SplatI(int32_t(row.out->tintOdd[n]));
  }
  const int32_t n = list.count;
  for (int32_t j = 0; j < count; j += 8) {
    GroupAt g;
    g.contiguous = contiguous;
    g.first = std::size_t(columns[0] + j) * 4;
    g.columns = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + j));
    g.valid = count - j >= 8 ? Mask(0xFF) : Mask((1u << (count - j)) - 1);
    if (contiguous) {
      // Every entry's line a few groups ahead, whether or not this group reads it: the entries
      // a group skips leave gaps in their streams that the processor's own prefetch stops at.
      for (int32_t i = 0; i < n; ++i)
        _mm_prefetch(reinterpret_cast<const char*>(list.entries[i].pixels + rowAt + g.first +
                                                   4 * kAheadPixels),
                     _MM_HINT_T0);
    } else if (j + kAheadSampled < count) {
      // Sampled positions: the pixels of the positions a few groups ahead.
      const int32_t ahead = std::min(count, j + kAheadSampled + 8);
      for (int32_t i = 0; i < n; ++i)
        for (int32_t m = j + kAheadSampled; m < ahead; ++m)
          _mm_prefetch(reinterpret_cast<const char*>(list.entries[i].pixels + rowAt +
                                                     std::size_t(columns[m]) * 4),
                       _MM_HINT_T0);
    }

    // 1. The topmost replacing entry of each position (0: none).
    I8 start = zero;
    Mask filled = 0;
    Mask open = g.valid;
    // The first entry asked keeps its prepared pixels for step 2: often the only one asked.
    int32_t keptIndex = -1;
    Prepared kept{};
    for (int32_t i = n - 1; i > 0 && open; --i) {
      const ViewEntry& e = list.entries[i];
      if (!e.mayReplace) continue;
      const Prepared p = Prepare(e, rowAt, g, KK);
      if (keptIndex < 0) keptIndex = i, kept = p;
      // Opaque enough to be copied under operator 0 (alpha 65280 or more), or alpha 65535 under
      // another operator of the Normal rule: R = 1 and the result is the source alone.
      const bool copyOp = !e.alphaMode && e.mode == kModeNormal;
      const Mask replaces =
          Mask(open & p.live & ~p.texture) & (copyOp ? AboveI(p.a, 65279) : EqualI(p.a, 65535));
      start = _mm256_mask_mov_epi32(start, replaces, SplatI(i));
      // A copy of alpha 65535 is the same over a filled or an empty composite.
      if (copyOp) filled |= replaces & EqualI(p.a, 65535);
      open &= Mask(~replaces);
    }

    // 2. Bottom up.
    Composite q;
    q.copied = 0xFF;
    q.cc[0] = q.cc[1] = q.cc[2] = q.ca = zero;
    q.c[0] = q.c[1] = q.c[2] = q.A = _mm512_setzero_pd();
    for (int32_t i = 0; i < n; ++i) {
      const ViewEntry& e = list.entries[i];
      const I8 index = SplatI(i);
      const Mask below = _mm256_cmpgt_epi32_mask(start, index);
      const Mask atStart = i > 0 ? _mm256_cmpeq_epi32_mask(start, index) : Mask(0);
      const Mask combine = Mask(~(below | atStart));
      const Mask asked = Mask(below & ~filled);
      if (!(asked | atStart | combine)) continue;
      if (!(atStart | combine) && SimpleAlpha(e)) {
        // Only whether the entry lays anything down is asked: its alpha alone says.
        filled |= asked & LaysDown(e, rowAt, g);
        continue;
      }
      const Prepared p = i == keptIndex ? kept : Prepare(e, rowAt, g, KK);
      // A texture operator has nothing to texture over an empty composite and leaves it clear.
      filled |= Mask(asked & p.live & ~p.texture) & Mask(~_mm256_testn_epi32_mask(p.a, p.a));
      const Mask starts = atStart & p.live;
      const Mask combines = combine & p.live;
      if (!(starts | combines)) continue;

      const bool copyOp = !e.alphaMode && e.mode == kModeNormal;
      const Mask empty =
          (q.copied & EqualI(q.ca, 0)) |
          (Mask(~q.copied) & _mm512_cmp_pd_mask(q.A, _mm512_setzero_pd(), _CMP_EQ_OQ));
      Mask copies = combines & empty;
      I8 copyAlpha = p.a;
      Mask blends = Mask(combines & ~empty);
      if (copyOp) {
        const Mask opaque = blends & AboveI(p.a, 65279);
        copies |= opaque;
        copyAlpha = _mm256_mask_mov_epi32(copyAlpha, opaque, SplatI(65535));
        blends &= Mask(~opaque);
      }
      // At the start entry: an operator-0 pixel is copied, with alpha 65535 over a filled
      // composite and its own over an empty one; under another operator the Normal rule with
      // alpha 1 leaves the clamped source colour over a filled composite, and over an empty one
      // the pixel is laid down. (Masked moves on every entry cost less than the branches.)
      const Mask settled = filled | EqualI(p.a, 65535);
      const Mask startCopies = copyOp ? starts : Mask(starts & ~filled);
      const Mask opaqueBlend = copyOp ? Mask(0) : Mask(starts & filled);
      copies |= startCopies;
      if (copyOp) copyAlpha = _mm256_mask_mov_epi32(copyAlpha, starts & settled, SplatI(65535));
      // The pixels the alpha-mode pre-pass switched to Texturize2 blend by that rule; over an
      // empty composite a texture operator leaves it clear.
      const Mask textureBlends = blends & p.texture;
      const Mask ownBlends = Mask(blends & ~p.texture);
      if (ownBlends) BlendByRule(ModeInfo(e.mode).rule, q, ownBlends, p.s, p.a);
      if (textureBlends) {
        const BlendRule textureRule = e.alphaMode ? BlendRule::kTexturize2 : ModeInfo(e.mode).rule;
        BlendByRule(textureRule, q, textureBlends, p.s, p.a);
      }
      const Mask keepsColour = Mask(~(p.texture & empty));
      for (int c = 0; c < 3; ++c)
        q.cc[c] =
            _mm256_mask_mov_epi32(q.cc[c], copies, _mm256_maskz_mov_epi32(keepsColour, p.s[c]));
      q.ca = _mm256_mask_mov_epi32(q.ca, copies, _mm256_maskz_mov_epi32(keepsColour, copyAlpha));
      q.copied |= copies;
      for (int c = 0; c < 3; ++c)
        q.c[c] =
            _mm512_mask_mov_pd(q.c[c], opaqueBlend, Clamp01(Wide(p.s[c]) * Splat(kInvColorOne)));
      q.A = _mm512_mask_mov_pd(q.A, opaqueBlend, Splat(1.0));
      q.copied &= Mask(~opaqueBlend);
    }

    // 3. Output.
    WriteGroup(q, row, k, g, j, bgr + 3 * j);
  }
}

#undef PMR_INLINE

}  // namespace

constinit const ViewFusedSpanKernel kViewFusedSpanAvx512 = &FusedSpanAvx512;

#else

constinit const ViewFusedSpanKernel kViewFusedSpanAvx512 = nullptr;

#endif

}  // namespace render
