// The view span on AVX-512 in one pass: sixteen positions at a time are carried through every
// entry of the render list and on to their output bytes, with the running composite held in
// registers throughout (the span kernels of the AVX2 path write and re-read span buffers between
// the pre-pass, the covering test, each entry's blend and the output stage). Integers take one
// register of sixteen lanes; doubles two registers of eight, whose halves are independent, so the
// long chains of one blend (conversions, a division, the clamps) overlap instead of waiting in
// turn, and each decision about the entries is paid once per sixteen positions.
//
// Per group of sixteen positions, as CompositeViewPixel and WriteViewPixel do per position:
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

using I16 = __m512i;
using Mask = __mmask16;

// Sixteen doubles as two independent halves: lanes 0-7 and 8-15.
struct D16 {
  __m512d lo, hi;
};

PMR_INLINE __mmask8 Low(Mask m) { return __mmask8(m); }
PMR_INLINE __mmask8 High(Mask m) { return __mmask8(m >> 8); }
PMR_INLINE Mask Join(__mmask8 lo, __mmask8 hi) { return Mask(lo | (unsigned(hi) << 8)); }

PMR_INLINE D16 operator+(D16 x, D16 y) { return {x.lo + y.lo, x.hi + y.hi}; }
PMR_INLINE D16 operator-(D16 x, D16 y) { return {x.lo - y.lo, x.hi - y.hi}; }
PMR_INLINE D16 operator*(D16 x, D16 y) { return {x.lo * y.lo, x.hi * y.hi}; }
PMR_INLINE D16 operator/(D16 x, D16 y) { return {x.lo / y.lo, x.hi / y.hi}; }
PMR_INLINE D16 Sqrt(D16 x) { return {_mm512_sqrt_pd(x.lo), _mm512_sqrt_pd(x.hi)}; }
PMR_INLINE D16 Zero() { return {_mm512_setzero_pd(), _mm512_setzero_pd()}; }

PMR_INLINE D16 Splat(double v) {
  const __m512d s = _mm512_set1_pd(v);
  return {s, s};
}
PMR_INLINE I16 SplatI(int32_t v) { return _mm512_set1_epi32(v); }
PMR_INLINE D16 Wide(I16 v) {
  return {_mm512_cvtepi32_pd(_mm512_castsi512_si256(v)),
          _mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(v, 1))};
}
// Truncated towards 0, as the scalar conversion to an integer.
PMR_INLINE I16 Truncate(D16 v) {
  return _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvttpd_epi32(v.lo)),
                            _mm512_cvttpd_epi32(v.hi), 1);
}
PMR_INLINE D16 Pick(Mask m, D16 yes, D16 no) {
  return {_mm512_mask_blend_pd(Low(m), no.lo, yes.lo),
          _mm512_mask_blend_pd(High(m), no.hi, yes.hi)};
}
// v where m is set, else what `into` holds.
PMR_INLINE D16 MaskMove(D16 into, Mask m, D16 v) { return Pick(m, v, into); }
PMR_INLINE I16 PickI(Mask m, I16 yes, I16 no) { return _mm512_mask_blend_epi32(m, no, yes); }

template <int kPredicate>
PMR_INLINE Mask Compare(D16 x, D16 y) {
  return Join(_mm512_cmp_pd_mask(x.lo, y.lo, kPredicate),
              _mm512_cmp_pd_mask(x.hi, y.hi, kPredicate));
}
PMR_INLINE Mask Greater(D16 x, D16 y) { return Compare<_CMP_GT_OQ>(x, y); }
PMR_INLINE Mask Less(D16 x, D16 y) { return Compare<_CMP_LT_OQ>(x, y); }
PMR_INLINE Mask LessOrEqual(D16 x, D16 y) { return Compare<_CMP_LE_OQ>(x, y); }
PMR_INLINE Mask GreaterOrEqual(D16 x, D16 y) { return Compare<_CMP_GE_OQ>(x, y); }
PMR_INLINE Mask AboveI(I16 x, int32_t v) { return _mm512_cmpgt_epi32_mask(x, SplatI(v)); }
PMR_INLINE Mask BelowI(I16 x, int32_t v) { return _mm512_cmplt_epi32_mask(x, SplatI(v)); }
PMR_INLINE Mask EqualI(I16 x, int32_t v) { return _mm512_cmpeq_epi32_mask(x, SplatI(v)); }

// The scalar Clamp01: maxpd and minpd return their second operand when the comparison fails (a
// NaN included), which is v > 0 ? v : 0, then low < 1 ? low : 1.
PMR_INLINE D16 Clamp01(D16 v) {
  const __m512d zero = _mm512_setzero_pd(), one = _mm512_set1_pd(1.0);
  return {_mm512_min_pd(_mm512_max_pd(v.lo, zero), one),
          _mm512_min_pd(_mm512_max_pd(v.hi, zero), one)};
}

// trunc(n / d) of non-negative integers below 2^53 held as doubles: the quotient's distance from
// the next integer (at least 1 / d) is far above the rounding of one division.
PMR_INLINE I16 Quotient(D16 n, double d) { return Truncate(n / Splat(d)); }

// ---------------------------------------------------------------------------------------------
// Pixels.

// Sixteen pixels, channel by channel, as 32-bit integers.
struct Pixels16 {
  I16 c[3];
  I16 a;
};

// The words of channel k of sixteen pixels, from two registers of eight pixels each (r0 g0 b0 a0
// r1 ...): word j of the pair is sample 4 j + k, for j up to 15.
template <int k0, int k1>
PMR_INLINE __m512i TwoChannels(__m512i first, __m512i second) {
  alignas(64) static constexpr uint16_t kIndex[32] = {
      4 * 0 + k0,  4 * 1 + k0,  4 * 2 + k0,  4 * 3 + k0,  4 * 4 + k0,  4 * 5 + k0,  4 * 6 + k0,
      4 * 7 + k0,  4 * 8 + k0,  4 * 9 + k0,  4 * 10 + k0, 4 * 11 + k0, 4 * 12 + k0, 4 * 13 + k0,
      4 * 14 + k0, 4 * 15 + k0, 4 * 0 + k1,  4 * 1 + k1,  4 * 2 + k1,  4 * 3 + k1,  4 * 4 + k1,
      4 * 5 + k1,  4 * 6 + k1,  4 * 7 + k1,  4 * 8 + k1,  4 * 9 + k1,  4 * 10 + k1, 4 * 11 + k1,
      4 * 12 + k1, 4 * 13 + k1, 4 * 14 + k1, 4 * 15 + k1};
  return _mm512_permutex2var_epi16(first, _mm512_load_si512(kIndex), second);
}

PMR_INLINE I16 LowWords(__m512i v) { return _mm512_cvtepu16_epi32(_mm512_castsi512_si256(v)); }
PMR_INLINE I16 HighWords(__m512i v) {
  return _mm512_cvtepu16_epi32(_mm512_extracti64x4_epi64(v, 1));
}

PMR_INLINE Pixels16 Split(__m512i first, __m512i second) {
  const __m512i rg = TwoChannels<0, 1>(first, second);
  const __m512i ba = TwoChannels<2, 3>(first, second);
  return {{LowWords(rg), HighWords(rg), LowWords(ba)}, HighWords(ba)};
}

// Where a group's pixels lie: a contiguous group reads sixteen pixels from `first` on (only the
// `valid` ones, so nothing past the span is touched); a sampled one gathers them at its columns
// from the row start, the columns being filled up to whole groups with columns that may be read.
// Sampled columns a fixed stride of 2 to 4 pixels apart (the common zoom-outs) are read as whole
// registers and picked out, which costs less than gathering them one by one: the eight positions
// of a half lie within the four registers from the first one (7 x 4 + 1 pixels at most).
struct Strided {
  int32_t stride;     // in pixels
  __m512i index;      // position m is pixel (m stride) & 15 of its pair of registers
  __mmask8 far;       // positions in the second pair (pixel 16 or later)
  __mmask8 loads[4];  // the pixels each register needs, so nothing past the last is read
};

PMR_INLINE Strided StridedBy(int32_t stride) {
  Strided k;
  k.stride = stride;
  alignas(64) int64_t index[8];
  k.far = 0;
  for (int m = 0; m < 8; ++m) {
    index[m] = (stride * m) & 15;
    if (stride * m >= 16) k.far = __mmask8(k.far | (1u << m));
  }
  k.index = _mm512_load_si512(index);
  const int32_t needed = 7 * stride + 1;
  for (int q = 0; q < 4; ++q) {
    const int32_t in = std::clamp(needed - 8 * q, 0, 8);
    k.loads[q] = __mmask8((1u << in) - 1);
  }
  return k;
}

// The eight strided pixels from `at` on.
PMR_INLINE __m512i StridedEight(const uint16_t* at, const Strided& k) {
  const __m512i near = _mm512_permutex2var_epi64(_mm512_maskz_loadu_epi64(k.loads[0], at), k.index,
                                                 _mm512_maskz_loadu_epi64(k.loads[1], at + 32));
  if (!k.far) return near;
  const __m512i distant =
      _mm512_permutex2var_epi64(_mm512_maskz_loadu_epi64(k.loads[2], at + 64), k.index,
                                _mm512_maskz_loadu_epi64(k.loads[3], at + 96));
  return _mm512_mask_blend_epi64(k.far, near, distant);
}

struct GroupAt {
  bool contiguous;
  std::size_t first;  // offset of the group's first pixel from the row start, in samples
  I16 columns;
  Mask valid;
  const Strided* strided;  // sampled at that stride (all sixteen valid), else null
};

// The group's pixels as they lie in memory, eight to a register.
struct RawPixels {
  __m512i first, second;
};

PMR_INLINE RawPixels LoadRaw(const uint16_t* row, const GroupAt& g) {
  if (g.contiguous) {
    return {_mm512_maskz_loadu_epi64(Low(g.valid), row + g.first),
            _mm512_maskz_loadu_epi64(High(g.valid), row + g.first + 32)};
  }
  if (g.strided) {
    return {StridedEight(row + g.first, *g.strided),
            StridedEight(row + g.first + std::size_t(32) * g.strided->stride, *g.strided)};
  }
  const auto* base = reinterpret_cast<const long long*>(row);
  return {_mm512_i32gather_epi64(_mm512_castsi512_si256(g.columns), base, 8),
          _mm512_i32gather_epi64(_mm512_extracti64x4_epi64(g.columns, 1), base, 8)};
}

PMR_INLINE Pixels16 LoadPixels(const uint16_t* row, const GroupAt& g) {
  const RawPixels raw = LoadRaw(row, g);
  return Split(raw.first, raw.second);
}

// ---------------------------------------------------------------------------------------------
// The alpha-mode pre-pass (the view never merges two layers of one alpha mode, so the column for
// a clear same-alpha-mode flag), on sixteen pixels, for the modes that keep their operator.

// (c0 + c1 + c2) / 3.
PMR_INLINE I16 MeanOfThree(const I16 c[3]) {
  return Quotient(Wide(_mm512_add_epi32(_mm512_add_epi32(c[0], c[1]), c[2])), 3.0);
}

// c + trunc((65535 - c) num / den).
PMR_INLINE I16 LightenBy(I16 c, I16 num, double den) {
  const D16 n = Wide(_mm512_sub_epi32(SplatI(65535), c)) * Wide(num);
  return _mm512_add_epi32(c, Quotient(n, den));
}

// trunc(c (den - num) / den), 0 where num passes den.
PMR_INLINE I16 DarkenBy(I16 c, I16 num, int32_t den) {
  const I16 keep = _mm512_sub_epi32(SplatI(den), num);
  const I16 q = Quotient(Wide(c) * Wide(keep), double(den));
  return _mm512_maskz_mov_epi32(Mask(~BelowI(keep, 0)), q);
}

// The lighten-above, darken-below colour rules of the Lum modes about a pivot.
PMR_INLINE void PivotColour(I16 a, I16 c[3], int32_t pivot, double lightenDen, int32_t darkenDen) {
  const Mask up = AboveI(a, pivot);
  const I16 upBy = _mm512_sub_epi32(a, SplatI(pivot));
  const I16 downBy = _mm512_sub_epi32(SplatI(pivot), a);
  for (int k = 0; k < 3; ++k)
    c[k] = PickI(up, LightenBy(c[k], upBy, lightenDen), DarkenBy(c[k], downBy, darkenDen));
}

// Faint pixels vanish, the rest take K; a clear pixel stays clear.
PMR_INLINE I16 Cut(I16 a, I16 K) { return _mm512_maskz_mov_epi32(Mask(~BelowI(a, 8191)), K); }

// As Cut, with a ramp 65535 - min(65535, (9215 - a) 64) between 8191 and 9215.
PMR_INLINE I16 Ramp(I16 a, I16 K) {
  const I16 ramp = _mm512_sub_epi32(
      SplatI(65535),
      _mm512_min_epi32(SplatI(65535), _mm512_slli_epi32(_mm512_sub_epi32(SplatI(9215), a), 6)));
  return _mm512_maskz_mov_epi32(Mask(~BelowI(a, 8191)), PickI(AboveI(a, 9214), K, ramp));
}

// texture: the pixels whose operator the pre-pass switches to Texturize2.
template <int32_t kMode>
PMR_INLINE void PrePass16(I16 K, I16& a, I16 c[3], Mask& texture) {
  const I16 zero = _mm512_setzero_si512();
  const I16 full = SplatI(65535);
  const Mask some = AboveI(a, 0);
  if constexpr (kMode == kModeLayerMask) {
    a = zero;
  } else if constexpr (kMode == kModeLuminanceAlpha) {
    a = MeanOfThree(c);
    c[0] = c[1] = c[2] = full;
  } else if constexpr (kMode == kModeLuminanceAlphaInvert) {
    a = _mm512_sub_epi32(full, MeanOfThree(c));
    c[0] = c[1] = c[2] = zero;
  } else if constexpr (kMode == kModeAlphaNormal) {
    a = _mm512_maskz_mov_epi32(some, K);
  } else if constexpr (kMode == kModeAlphaFilter) {
    a = _mm512_sub_epi32(full, a);
    c[0] = c[1] = c[2] = full;
  } else if constexpr (kMode == kModeAlphaBlackOutline || kMode == kModeAlphaOverlayOutline) {
    const Mask edge = some & BelowI(a, 65280);
    a = PickI(edge, K, a);
    for (int k = 0; k < 3; ++k) c[k] = _mm512_maskz_mov_epi32(Mask(~edge), c[k]);
  } else if constexpr (kMode == kModeAlphaOutlineTint1 || kMode == kModeAlphaOutlineTint2) {
    a = PickI(some, PickI(AboveI(a, 12286), K, _mm512_sub_epi32(full, a)), a);
  } else if constexpr (kMode == kModeAlphaInvert) {
    a = PickI(some, _mm512_sub_epi32(full, a), a);
  } else if constexpr (kMode == kModeAlphaShader) {
    for (int k = 0; k < 3; ++k) c[k] = PickI(some, a, c[k]);
    a = PickI(some, K, a);
  } else if constexpr (kMode == kModeAlphaShaderColor || kMode == kModeAlphaShaderTexture2) {
    // Below mid-grey c - 2 (32767 - a) held at 0, above it c + 2 (a - 32767) held at 65535: one
    // sum, clamped at both ends.
    const I16 shift = _mm512_slli_epi32(_mm512_sub_epi32(a, SplatI(32767)), 1);
    for (int k = 0; k < 3; ++k) {
      const I16 moved =
          _mm512_min_epi32(full, _mm512_max_epi32(zero, _mm512_add_epi32(c[k], shift)));
      c[k] = PickI(some, moved, c[k]);
    }
    a = PickI(some, K, a);
    if constexpr (kMode == kModeAlphaShaderTexture2) texture = some;
  } else if constexpr (kMode == kModeAlphaHighlightTexture2) {
    // Above mid-grey lightened by 2 (a - 32767) and given K, below it faded by 2 (32767 - a).
    const Mask bright = AboveI(a, 32766);
    const I16 lift = _mm512_slli_epi32(_mm512_sub_epi32(a, SplatI(32767)), 1);
    for (int k = 0; k < 3; ++k)
      c[k] = PickI(some & bright, _mm512_min_epi32(full, _mm512_add_epi32(c[k], lift)), c[k]);
    const I16 e = _mm512_slli_epi32(_mm512_sub_epi32(SplatI(32767), a), 1);
    const I16 faded =
        _mm512_maskz_mov_epi32(Mask(~_mm512_cmplt_epi32_mask(a, e)), _mm512_sub_epi32(a, e));
    a = PickI(some, PickI(bright, K, faded), a);
    texture = some;
  } else if constexpr (kMode == kModeAlphaSmooth) {
    const I16 e = _mm512_slli_epi32(_mm512_sub_epi32(SplatI(32767), a), 2);
    const I16 faded =
        _mm512_maskz_mov_epi32(Mask(~_mm512_cmplt_epi32_mask(a, e)), _mm512_sub_epi32(a, e));
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
    a = _mm512_maskz_mov_epi32(Mask(~AboveI(a, 32512)), a);
  }
}

PMR_INLINE void PrePassByMode(int32_t mode, I16 K, I16& a, I16 c[3], Mask& texture) {
  switch (mode) {
#define PMR_PREPASS_CASE(m) \
  case m:                   \
    return PrePass16<m>(K, a, c, texture);
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

// Sc (1 - Da) + Dc (1 - Sa). Over an opaque destination (Da exactly 1) the first product is +0
// (Sc is finite and not negative) and the sum is the second term unchanged (never -0: Dc and
// 1 - Sa are not negative), so it is left out.
template <bool kOpaqueDest>
PMR_INLINE D16 Rest(D16 Sc, D16 Dc, D16 Sa, D16 Da) {
  const D16 one = Splat(1.0);
  if constexpr (kOpaqueDest) return Dc * (one - Sa);
  return Sc * (one - Da) + Dc * (one - Sa);
}

template <BlendRule kRule, bool kOpaqueDest>
PMR_INLINE D16 RuleX(D16 Sc, D16 Dc, D16 Sa, D16 Da) {
  const D16 one = Splat(1.0);
  const D16 two = Splat(2.0);
  if constexpr (kRule == BlendRule::kNormal) {
    return Sc + Dc * (one - Sa);
  } else if constexpr (kRule == BlendRule::kMultiply) {
    return Sc * Dc + Rest<kOpaqueDest>(Sc, Dc, Sa, Da);
  } else if constexpr (kRule == BlendRule::kScreen) {
    return Sc + Dc - Sc * Dc;
  } else if constexpr (kRule == BlendRule::kDarken || kRule == BlendRule::kLighten) {
    const D16 sourceOver = Sc + Dc * (one - Sa);
    const D16 destOver = Dc + Sc * (one - Da);
    const Mask sourceWins =
        kRule == BlendRule::kDarken ? Greater(Dc * Sa, Sc * Da) : Less(Dc * Sa, Sc * Da);
    return Pick(sourceWins, sourceOver, destOver);
  } else if constexpr (kRule == BlendRule::kDifference) {
    // std::min(Sc Da, Dc Sa): the second when it is the smaller, else the first.
    const D16 sourceSide = Sc * Da, destSide = Dc * Sa;
    return Sc + Dc - two * Pick(Less(destSide, sourceSide), destSide, sourceSide);
  } else if constexpr (kRule == BlendRule::kExclusion) {
    return Sc * Da + Dc * Sa - two * Sc * Dc + Rest<kOpaqueDest>(Sc, Dc, Sa, Da);
  } else if constexpr (kRule == BlendRule::kOverlay || kRule == BlendRule::kHardLight) {
    const D16 rest = Rest<kOpaqueDest>(Sc, Dc, Sa, Da);
    const D16 multiplied = two * Sc * Dc + rest;
    const D16 screened = Sa * Da - two * (Da - Dc) * (Sa - Sc) + rest;
    const Mask multiplyHalf =
        kRule == BlendRule::kOverlay ? Greater(Da, two * Dc) : Greater(Sa, two * Sc);
    return Pick(multiplyHalf, multiplied, screened);
  } else if constexpr (kRule == BlendRule::kSoftLight) {
    const D16 m = Dc / Da;
    const D16 rootM = Sqrt(m);
    const D16 k = two * Sc - Sa;
    const D16 rest = Rest<kOpaqueDest>(Sc, Dc, Sa, Da);
    const D16 darkSource = Dc * (Sa + k * (one - m)) + rest;
    const D16 darkDest = Dc * (Sa + k * (one - m) * (Splat(3.0) - Splat(8.0) * m)) + rest;
    const D16 light = Dc * Sa + k * (Da * rootM - Dc) + rest;
    const D16 lighter = Pick(GreaterOrEqual(Da, Splat(8.0) * Dc), darkDest, light);
    return Pick(Greater(Sa, two * Sc), darkSource, lighter);
  } else if constexpr (kRule == BlendRule::kDodge) {
    const D16 rest = Rest<kOpaqueDest>(Sc, Dc, Sa, Da);
    const D16 saturated = Sa * Da + rest;
    const D16 quotient = Dc * Sa / (one - Sc / Sa) + rest;
    return Pick(LessOrEqual(Sa * Da, Sc * Da + Dc * Sa), saturated, quotient);
  } else if constexpr (kRule == BlendRule::kBurn) {
    const D16 rest = Rest<kOpaqueDest>(Sc, Dc, Sa, Da);
    const D16 burnt = Sa * (Sc * Da + Dc * Sa - Sa * Da) / Sc + rest;
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
  // Of the copies, those standing for the doubles of the Normal rule at alpha 1 (see the start
  // entry): written out through those doubles.
  Mask roundTrip;
  I16 cc[3], ca;
  D16 c[3], A;
};

// The composite as a blend reads it: A and the unpremultiplied colour, turned into doubles where
// it still holds a copy, by the conversion the scalar composite applies.
struct Destination {
  D16 Da;
  D16 u[3];
};

PMR_INLINE Destination ReadComposite(const Composite& q) {
  Destination d;
  if (q.copied == 0) {
    d.Da = q.A;
    for (int k = 0; k < 3; ++k) d.u[k] = q.c[k];
    return d;
  }
  if (q.copied == Mask(0xFFFF)) {
    d.Da = Wide(q.ca) * Splat(1.0 / 65535.0);
    for (int k = 0; k < 3; ++k) d.u[k] = Wide(q.cc[k]) * Splat(1.0 / 65280.0);
    return d;
  }
  d.Da = Pick(q.copied, Wide(q.ca) * Splat(1.0 / 65535.0), q.A);
  for (int k = 0; k < 3; ++k) d.u[k] = Pick(q.copied, Wide(q.cc[k]) * Splat(1.0 / 65280.0), q.c[k]);
  return d;
}

// The source (s, a) blended by one rule over the composites in `take`: BlendOverViewComposite.
// With kOpaqueDest every composite taken has Da exactly 1, so Dc = u, R = Da + Sa (1 - Da) (or
// clamp(Sa + Da), or Da) is exactly 1, and X (1 / R) is X: the division is left out, with the
// same values.
template <BlendRule kRule, bool kOpaqueDest>
PMR_INLINE void BlendInto(Composite& q, const Destination& d, Mask take, const I16 s[3], I16 a) {
  const D16 one = Splat(1.0);
  const D16 Sa = Wide(a) * Splat(kInvAlphaOne);
  const D16 Da = kOpaqueDest ? one : d.Da;
  D16 Sc[3], Dc[3];
  for (int k = 0; k < 3; ++k) {
    Sc[k] = Wide(s[k]) * Splat(kInvColorOne) * Sa;
    Dc[k] = kOpaqueDest ? d.u[k] : d.u[k] * Da;
  }
  D16 X[3], R;
  if constexpr (kRule == BlendRule::kColor || kRule == BlendRule::kHardColor) {
    // The source shifted by the destination's brightness around mid-grey; R = Da.
    const D16 L = (Dc[0] + Dc[1] + Dc[2]) / Splat(3.0);
    const D16 shift =
        kRule == BlendRule::kColor ? Sa * (L - Splat(0.5)) : Sa * (Splat(1.75) * (L - Splat(0.5)));
    for (int k = 0; k < 3; ++k) X[k] = Sc[k] + shift + Dc[k] * (one - Sa);
    R = Da;
  } else if constexpr (kRule == BlendRule::kTexturize || kRule == BlendRule::kTexturize2) {
    // The destination colour u as it stands pushed by the source brightness ls around mid-grey
    // (Texturize first moves the brightness by the destination's mean); R = Da.
    const D16 ls =
        Wide(_mm512_add_epi32(_mm512_add_epi32(s[0], s[1]), s[2])) * Splat(kInvThreeColorOne);
    D16 z;
    if constexpr (kRule == BlendRule::kTexturize) {
      const D16 J = (d.u[0] + d.u[1] + d.u[2]) / Splat(3.0) + Sa * (ls - Splat(0.5));
      z = Splat(1.75) * Sa * (J - Splat(0.5));
    } else {
      z = Splat(1.75) * Sa * (ls - Splat(0.5));
    }
    for (int k = 0; k < 3; ++k) X[k] = d.u[k] + z;
    R = Da;
  } else {
    for (int k = 0; k < 3; ++k) X[k] = RuleX<kRule, kOpaqueDest>(Sc[k], Dc[k], Sa, Da);
    const bool addsAlphas = kRule == BlendRule::kAdd || kRule == BlendRule::kSubtract;
    R = addsAlphas ? Sa + Da : Da + Sa * (one - Da);
  }
  if constexpr (kOpaqueDest) {
    for (int k = 0; k < 3; ++k) q.c[k] = MaskMove(q.c[k], take, Clamp01(X[k]));
    q.A = MaskMove(q.A, take, one);
  } else {
    R = Clamp01(R);
    const D16 perR = one / R;
    for (int k = 0; k < 3; ++k) q.c[k] = MaskMove(q.c[k], take, Clamp01(X[k] * perR));
    q.A = MaskMove(q.A, take, R);
  }
  q.copied = Mask(q.copied & ~take);
  q.roundTrip = Mask(q.roundTrip & ~take);
}

template <BlendRule kRule>
PMR_INLINE void BlendSome(Composite& q, Mask take, const I16 s[3], I16 a) {
  const Destination d = ReadComposite(q);
  const __m512d one = _mm512_set1_pd(1.0);
  if ((_mm512_mask_cmp_pd_mask(Low(take), d.Da.lo, one, _CMP_NEQ_UQ) |
       _mm512_mask_cmp_pd_mask(High(take), d.Da.hi, one, _CMP_NEQ_UQ)) == 0) {
    BlendInto<kRule, true>(q, d, take, s, a);
  } else {
    BlendInto<kRule, false>(q, d, take, s, a);
  }
}

PMR_INLINE void BlendByRule(BlendRule rule, Composite& q, Mask take, const I16 s[3], I16 a) {
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
  I16 s[3];
  I16 a;
  Mask live;
  Mask texture;  // blended by a texture rule (the entry's own, or Texturize2 by the pre-pass)
};

PMR_INLINE Prepared Prepare(const ViewEntry& e, std::size_t rowAt, const GroupAt& g, I16 K) {
  const Pixels16 p = LoadPixels(e.pixels + rowAt, g);
  const bool textureMode = !e.alphaMode && ModeInfo(e.mode).rule >= BlendRule::kTexturize;
  Prepared out{{p.c[0], p.c[1], p.c[2]}, p.a, Mask(0xFFFF), textureMode ? Mask(0xFFFF) : Mask(0)};
  if (e.background) {
    out.a = SplatI(65535);
  } else {
    if (!e.alphaMode) out.live = _mm512_test_epi32_mask(p.a, p.a);
    if (e.clip) {
      // Where the mask has coverage, a = (a m) >> 16 with m the mean of its colour; the product
      // of two 16-bit values fits 32 bits unsigned.
      const Pixels16 m = LoadPixels(e.clip + rowAt, g);
      const I16 scaled = _mm512_srli_epi32(_mm512_mullo_epi32(out.a, MeanOfThree(m.c)), 16);
      out.a = PickI(_mm512_test_epi32_mask(m.a, m.a), scaled, out.a);
    }
  }
  if (e.alphaMode) PrePassByMode(e.mode, K, out.a, out.s, out.texture);
  if (e.opacityScale)
    out.a = _mm512_srli_epi32(_mm512_mullo_epi32(out.a, SplatI(e.opacityScale)), 8);
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
  if (e.background) return Mask(0xFFFF);
  const RawPixels raw = LoadRaw(e.pixels + rowAt, g);
  I16 a = LowWords(TwoChannels<3, 3>(raw.first, raw.second));
  if (e.opacityScale) a = _mm512_srli_epi32(_mm512_mullo_epi32(a, SplatI(e.opacityScale)), 8);
  return _mm512_test_epi32_mask(a, a);
}

// ---------------------------------------------------------------------------------------------
// Output.

struct OutputConstants {
  I16 squareRow;
  I16 tintEven[3], tintOdd[3];
};

// The composites as 16-bit values (FinishViewSpan), then WriteViewPixel's tracing, checkerboard
// and mask tint in the same 32-bit unsigned arithmetic (products wrap the same way), as three
// bytes blue, green, red per valid position from out on.
PMR_INLINE void WriteGroup(const Composite& q, const ViewSpanOutputRow& row,
                           const OutputConstants& k, const GroupAt& g, int32_t j, uint8_t* out) {
  const ViewOutput& view = *row.out;
  const I16 full = SplatI(65535);
  I16 c[3] = {q.cc[0], q.cc[1], q.cc[2]};
  I16 alpha = q.ca;
  if (q.copied != Mask(0xFFFF)) {
    for (int n = 0; n < 3; ++n) c[n] = PickI(q.copied, q.cc[n], Truncate(q.c[n] * Splat(65280.0)));
    alpha = PickI(q.copied, q.ca, Truncate(q.A * Splat(65535.0)));
  }
  if (q.roundTrip) {
    for (int n = 0; n < 3; ++n) {
      const I16 viaDoubles = Truncate(Wide(q.cc[n]) * Splat(kInvColorOne) * Splat(65280.0));
      c[n] = _mm512_mask_mov_epi32(c[n], q.roundTrip, viaDoubles);
    }
  }
  // A contiguous span's columns follow from its first.
  const I16 cx = g.contiguous ? _mm512_add_epi32(SplatI(row.cols[0] + j),
                                                 _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10,
                                                                   11, 12, 13, 14, 15))
                              : _mm512_loadu_si512(row.cols + j);

  if (row.tracingRow) {
    const Pixels16 t = LoadPixels(row.tracingRow, g);
    for (int n = 0; n < 3; ++n) c[n] = _mm512_srli_epi32(_mm512_add_epi32(t.c[n], c[n]), 1);
  }
  const Mask odd =
      _mm512_test_epi32_mask(_mm512_add_epi32(_mm512_srai_epi32(cx, 5), k.squareRow), SplatI(1));
  const Mask seeThrough = BelowI(alpha, 65535);
  if (seeThrough) {
    const I16 behind = _mm512_srli_epi32(
        _mm512_mullo_epi32(PickI(odd, SplatI(40959), full), _mm512_sub_epi32(full, alpha)), 8);
    for (int n = 0; n < 3; ++n) {
      const I16 shown = _mm512_srli_epi32(
          _mm512_add_epi32(_mm512_srli_epi32(_mm512_mullo_epi32(alpha, c[n]), 8), behind), 8);
      c[n] = PickI(seeThrough, shown, c[n]);
    }
  }
  I16 bytes[3];
  for (int n = 0; n < 3; ++n) bytes[n] = _mm512_srli_epi32(c[n], 8);
  if (row.maskRow) {
    I16 raw;
    if (g.contiguous) {
      raw = _mm512_cvtepu16_epi32(_mm256_maskz_loadu_epi16(g.valid, row.maskRow + row.cols[0] + j));
    } else {
      alignas(64) int32_t m[16];
      for (int n = 0; n < 16; ++n) m[n] = row.maskRow[row.cols[j + n]];
      raw = _mm512_load_si512(m);
    }
    // The 1:1 path leaves a fully open pixel untinted.
    const Mask tinted = row.skipOpenTint ? Mask(~EqualI(raw, 65535)) : Mask(0xFFFF);
    if (tinted) {
      const I16 m =
          view.fullStrength ? raw : _mm512_add_epi32(_mm512_srli_epi32(raw, 1), SplatI(32767));
      const I16 inv = _mm512_sub_epi32(full, m);
      for (int n = 0; n < 3; ++n) {
        const I16 tint = PickI(odd, k.tintOdd[n], k.tintEven[n]);
        const I16 mixed =
            _mm512_srli_epi32(_mm512_add_epi32(_mm512_srli_epi32(_mm512_mullo_epi32(m, c[n]), 8),
                                               _mm512_srli_epi32(_mm512_mullo_epi32(inv, tint), 8)),
                              16);
        bytes[n] = PickI(tinted, mixed, bytes[n]);
      }
    }
  }
  // Blue, green, red: the low byte of each lane, three bytes a lane packed at the start of each
  // 128-bit quarter, then the quarters' twelve bytes moved together: 48 bytes, of which only the
  // valid positions' are stored.
  const I16 low = SplatI(0xFF);
  const I16 lanesBgr =
      _mm512_or_si512(_mm512_and_si512(bytes[2], low),
                      _mm512_or_si512(_mm512_slli_epi32(_mm512_and_si512(bytes[1], low), 8),
                                      _mm512_slli_epi32(_mm512_and_si512(bytes[0], low), 16)));
  const I16 inQuarters =
      _mm512_shuffle_epi8(lanesBgr, _mm512_broadcast_i32x4(_mm_setr_epi8(
                                        0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1)));
  const I16 packed = _mm512_permutexvar_epi32(
      _mm512_setr_epi32(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 15, 15, 15, 15), inQuarters);
  if (g.valid == Mask(0xFFFF)) {
    _mm512_mask_storeu_epi32(out, 0x0FFF, packed);
  } else {
    const int valid = __builtin_popcount(g.valid);
    _mm512_mask_storeu_epi8(out, (__mmask64{1} << (3 * valid)) - 1, packed);
  }
}

// ---------------------------------------------------------------------------------------------
// The span.

// How far ahead of the group at hand a contiguous span asks for its entries' pixels.
constexpr std::size_t kAheadPixels = 64;
constexpr int32_t kAheadSampled = 16;

// Built once for contiguous and once for sampled columns, so that neither carries the other's
// reads and the registers of each are laid out for its own work.
template <bool contiguous>
void FusedSpan(const ViewRenderList& list, int32_t K, std::size_t rowAt, const int32_t* columns,
               int32_t count, const ViewSpanOutputRow& row, uint8_t* bgr) {
  const I16 KK = SplatI(K);
  const I16 zero = _mm512_setzero_si512();
  OutputConstants k;
  k.squareRow = SplatI(row.cy >> 5);
  for (int n = 0; n < 3; ++n) {
    k.tintEven[n] = SplatI(int32_t(row.out->tintEven[n]));
    k.tintOdd[n] = SplatI(int32_t(row.out->tintOdd[n]));
  }
  const int32_t n = list.count;
  // Sampled: a stride of 2 to 4 pixels between the first two columns is taken for the span's
  // groups whose columns all keep it.
  Strided strided{};
  I16 strideRamp = zero;
  if constexpr (!contiguous) {
    const int32_t firstStep = count > 1 ? columns[1] - columns[0] : 0;
    strided = StridedBy(firstStep >= 2 && firstStep <= 4 ? firstStep : 0);
    strideRamp =
        _mm512_mullo_epi32(SplatI(strided.stride),
                           _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
  }
  for (int32_t j = 0; j < count; j += 16) {
    GroupAt g;
    g.contiguous = contiguous;
    g.first = std::size_t(columns[0] + j) * 4;
    g.columns = contiguous ? _mm512_setzero_si512() : _mm512_loadu_si512(columns + j);
    g.valid = count - j >= 16 ? Mask(0xFFFF) : Mask((1u << (count - j)) - 1);
    g.strided = nullptr;
    if constexpr (!contiguous) {
      if (strided.stride &&
          _mm512_cmpeq_epi32_mask(g.columns, _mm512_add_epi32(SplatI(columns[j]), strideRamp)) ==
              Mask(0xFFFF)) {
        g.strided = &strided;
        g.first = std::size_t(columns[j]) * 4;
      }
    }
    if constexpr (contiguous) {
      // Every entry's two lines a few groups ahead, whether or not this group reads them: the
      // entries a group skips leave gaps in their streams that the processor's own prefetch
      // stops at.
      for (int32_t i = 0; i < n; ++i) {
        const char* ahead = reinterpret_cast<const char*>(list.entries[i].pixels + rowAt + g.first +
                                                          4 * kAheadPixels);
        _mm_prefetch(ahead, _MM_HINT_T0);
        _mm_prefetch(ahead + 64, _MM_HINT_T0);
      }
    } else if (j + kAheadSampled < count) {
      // Sampled positions: the pixels of the sixteen positions a few groups ahead. Where they lie
      // closer than a line apart on average, every line between the first and the last is asked
      // for (each once), else each position's own.
      const int32_t first = j + kAheadSampled, last = std::min(count, first + 16) - 1;
      const std::size_t from = std::size_t(columns[first]) * 4;
      const std::size_t lines = (std::size_t(columns[last] - columns[first]) * 8 + 63) / 64 + 1;
      if (lines <= std::size_t(last - first)) {
        for (int32_t i = 0; i < n; ++i) {
          const char* line = reinterpret_cast<const char*>(list.entries[i].pixels + rowAt + from);
          for (std::size_t l = 0; l < lines; ++l) _mm_prefetch(line + 64 * l, _MM_HINT_T0);
        }
      } else {
        for (int32_t i = 0; i < n; ++i)
          for (int32_t m = first; m <= last; ++m)
            _mm_prefetch(reinterpret_cast<const char*>(list.entries[i].pixels + rowAt +
                                                       std::size_t(columns[m]) * 4),
                         _MM_HINT_T0);
      }
    }

    // 1. The topmost replacing entry of each position (0: none).
    I16 start = zero;
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
      start = _mm512_mask_mov_epi32(start, replaces, SplatI(i));
      // A copy of alpha 65535 is the same over a filled or an empty composite.
      if (copyOp) filled |= replaces & EqualI(p.a, 65535);
      open &= Mask(~replaces);
    }

    // 2. Bottom up.
    Composite q;
    q.copied = 0xFFFF;
    q.roundTrip = 0;
    q.cc[0] = q.cc[1] = q.cc[2] = q.ca = zero;
    q.c[0] = q.c[1] = q.c[2] = q.A = Zero();
    for (int32_t i = 0; i < n; ++i) {
      const ViewEntry& e = list.entries[i];
      const I16 index = SplatI(i);
      const Mask below = _mm512_cmpgt_epi32_mask(start, index);
      const Mask atStart = i > 0 ? _mm512_cmpeq_epi32_mask(start, index) : Mask(0);
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
      filled |= Mask(asked & p.live & ~p.texture) & Mask(~_mm512_testn_epi32_mask(p.a, p.a));
      const Mask starts = atStart & p.live;
      const Mask combines = combine & p.live;
      if (!(starts | combines)) continue;

      const bool copyOp = !e.alphaMode && e.mode == kModeNormal;
      const Mask empty =
          (q.copied & EqualI(q.ca, 0)) | (Mask(~q.copied) & Compare<_CMP_EQ_OQ>(q.A, Zero()));
      Mask copies = combines & empty;
      I16 copyAlpha = p.a;
      Mask blends = Mask(combines & ~empty);
      if (copyOp) {
        const Mask opaque = blends & AboveI(p.a, 65279);
        copies |= opaque;
        copyAlpha = _mm512_mask_mov_epi32(copyAlpha, opaque, SplatI(65535));
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
      if (copyOp) copyAlpha = _mm512_mask_mov_epi32(copyAlpha, starts & settled, SplatI(65535));
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
            _mm512_mask_mov_epi32(q.cc[c], copies, _mm512_maskz_mov_epi32(keepsColour, p.s[c]));
      q.ca = _mm512_mask_mov_epi32(q.ca, copies, _mm512_maskz_mov_epi32(keepsColour, copyAlpha));
      q.copied |= copies;
      q.roundTrip &= Mask(~copies);
      if (opaqueBlend) {
        // The Normal rule at alpha 1 over a filled composite leaves Clamp01(s / 65280) and A = 1.
        // Those doubles are exactly what a copy of min(s, 65280) and 65535 reads as (the product
        // grows with s, 65280 / 65280 rounds to 1 and so does 65535 / 65535), so the lanes hold
        // that copy; only their output, truncated from the doubles, can differ from it.
        for (int c = 0; c < 3; ++c)
          q.cc[c] = _mm512_mask_min_epi32(q.cc[c], opaqueBlend, p.s[c], SplatI(65280));
        q.ca = _mm512_mask_mov_epi32(q.ca, opaqueBlend, SplatI(65535));
        q.copied |= opaqueBlend;
        q.roundTrip |= opaqueBlend;
      }
    }

    // 3. Output.
    WriteGroup(q, row, k, g, j, bgr + 3 * j);
  }
}

void FusedSpanAvx512(const ViewRenderList& list, int32_t K, std::size_t rowAt,
                     const int32_t* columns, int32_t count, bool contiguous,
                     const ViewSpanOutputRow& row, uint8_t* bgr) {
  if (contiguous) {
    FusedSpan<true>(list, K, rowAt, columns, count, row, bgr);
  } else {
    FusedSpan<false>(list, K, rowAt, columns, count, row, bgr);
  }
}

#undef PMR_INLINE

}  // namespace

constinit const ViewFusedSpanKernel kViewFusedSpanAvx512 = &FusedSpanAvx512;

#else

constinit const ViewFusedSpanKernel kViewFusedSpanAvx512 = nullptr;

#endif

}  // namespace render
