// One row of a layer in an ordinary mode whose rule is Multiply, Screen, Overlay, Soft Light,
// Darken, Lighten, Add, Subtract, Dodge or Burn, without layer mask, eight pixels at a time on
// AVX-512: the AVX2 row kernel's scheme on registers twice as wide. Each case of the per-pixel
// rule is computed for all eight pixels and the right one kept per pixel, and the blends are the
// scalar rules written again on eight double lanes: the same operations in the same order, each
// rounded the same way (this file is built without contraction into fused multiply-adds), so
// every pixel comes out as the scalar rule gives it.
//
// Where every blended pixel of the eight lies on an opaque destination (alpha 65535), the result
// alpha and its division are left out: Da = 65535 / 65535 is exactly 1, so R = 1 + Sa (1 - 1) (or
// clamp(Sa + 1) for the rules that add alphas) is exactly 1, 1 / R is 1 and X (1 / R) is X. The
// rules then run with Da the constant 1, which also turns Soft Light's m = Dc / Da into Dc; an
// opaque source likewise runs with Sa the constant 1. The values are those the alphas read as, so
// the compiler only drops operations whose result it knows exactly (a product with 1, a quotient
// by 1). Runs of
// clear source pixels are skipped before anything is unpacked. The last pixels of a row go through
// the scalar rule itself.
#include "render/composite_internal.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// GCC 12 warns about the deliberately undefined vectors inside its own AVX-512 intrinsics.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace render {

#if defined(__x86_64__) || defined(__i386__)
namespace {

static_assert(65535 * kInvAlphaOne == 1.0, "an opaque alpha must read as exactly 1");

// Eight doubles; the operators are single IEEE operations, never fused.
using D8 = __m512d;
using Mask = __mmask8;

D8 Splat(double v) { return _mm512_set1_pd(v); }
D8 Pick(Mask m, D8 yes, D8 no) { return _mm512_mask_blend_pd(m, no, yes); }
Mask Greater(D8 x, D8 y) { return _mm512_cmp_pd_mask(x, y, _CMP_GT_OQ); }
Mask Less(D8 x, D8 y) { return _mm512_cmp_pd_mask(x, y, _CMP_LT_OQ); }
Mask LessOrEqual(D8 x, D8 y) { return _mm512_cmp_pd_mask(x, y, _CMP_LE_OQ); }
Mask GreaterOrEqual(D8 x, D8 y) { return _mm512_cmp_pd_mask(x, y, _CMP_GE_OQ); }

// The scalar Clamp01: maxpd and minpd return their second operand when the comparison fails (a
// NaN included), which is v > 0 ? v : 0, then low < 1 ? low : 1.
D8 Clamp01(D8 v) { return _mm512_min_pd(_mm512_max_pd(v, _mm512_setzero_pd()), Splat(1.0)); }

// Sc (1 - Da) + Dc (1 - Sa). Both products are of values 0 or more (Sc and Dc are finite and not
// negative, and so are 1 - Sa and 1 - Da since no alpha reads above 1), so a product with a
// factor 1 - 1 is +0, and adding +0 to a value of +0 or more leaves it as it is: with an opaque
// destination the sum is exactly Dc (1 - Sa), with an opaque source Sc (1 - Da), with both +0.
template <bool kOpaqueSource, bool kOpaqueDest>
D8 Rest(D8 Sc, D8 Dc, D8 Sa, D8 Da) {
  const D8 one = Splat(1.0);
  if constexpr (kOpaqueSource && kOpaqueDest) {
    return _mm512_setzero_pd();
  } else if constexpr (kOpaqueDest) {
    return Dc * (one - Sa);
  } else if constexpr (kOpaqueSource) {
    return Sc * (one - Da);
  } else {
    return Sc * (one - Da) + Dc * (one - Sa);
  }
}

// The premultiplied channel X of each rule, term for term as the scalar rule computes it. The
// flags say that every source or destination alpha is 65535, so that Sa or Da is the constant 1.
template <BlendRule kRule, bool kOpaqueSource, bool kOpaqueDest>
D8 RuleX(D8 Sc, D8 Dc, D8 Sa, D8 Da) {
  const D8 one = Splat(1.0);
  const D8 two = Splat(2.0);
  if constexpr (kRule == BlendRule::kMultiply) {
    return Sc * Dc + Rest<kOpaqueSource, kOpaqueDest>(Sc, Dc, Sa, Da);
  } else if constexpr (kRule == BlendRule::kScreen) {
    return Sc + Dc - Sc * Dc;
  } else if constexpr (kRule == BlendRule::kDarken || kRule == BlendRule::kLighten) {
    const D8 sourceOver = Sc + Dc * (one - Sa);
    const D8 destOver = Dc + Sc * (one - Da);
    const Mask sourceWins =
        kRule == BlendRule::kDarken ? Greater(Dc * Sa, Sc * Da) : Less(Dc * Sa, Sc * Da);
    return Pick(sourceWins, sourceOver, destOver);
  } else if constexpr (kRule == BlendRule::kOverlay) {
    const D8 rest = Rest<kOpaqueSource, kOpaqueDest>(Sc, Dc, Sa, Da);
    const D8 multiplied = two * Sc * Dc + rest;
    const D8 screened = Sa * Da - two * (Da - Dc) * (Sa - Sc) + rest;
    return Pick(Greater(Da, two * Dc), multiplied, screened);
  } else if constexpr (kRule == BlendRule::kSoftLight) {
    const D8 m = Dc / Da;
    const D8 rootM = _mm512_sqrt_pd(m);
    const D8 k = two * Sc - Sa;
    const D8 rest = Rest<kOpaqueSource, kOpaqueDest>(Sc, Dc, Sa, Da);
    const D8 darkSource = Dc * (Sa + k * (one - m)) + rest;
    const D8 darkDest = Dc * (Sa + k * (one - m) * (Splat(3.0) - Splat(8.0) * m)) + rest;
    const D8 light = Dc * Sa + k * (Da * rootM - Dc) + rest;
    const D8 lighter = Pick(GreaterOrEqual(Da, Splat(8.0) * Dc), darkDest, light);
    return Pick(Greater(Sa, two * Sc), darkSource, lighter);
  } else if constexpr (kRule == BlendRule::kDodge) {
    const D8 rest = Rest<kOpaqueSource, kOpaqueDest>(Sc, Dc, Sa, Da);
    const D8 saturated = Sa * Da + rest;
    const D8 quotient = Dc * Sa / (one - Sc / Sa) + rest;
    return Pick(LessOrEqual(Sa * Da, Sc * Da + Dc * Sa), saturated, quotient);
  } else if constexpr (kRule == BlendRule::kBurn) {
    const D8 rest = Rest<kOpaqueSource, kOpaqueDest>(Sc, Dc, Sa, Da);
    const D8 burnt = Sa * (Sc * Da + Dc * Sa - Sa * Da) / Sc + rest;
    return Pick(Less(Sa * Da, Sc * Da + Dc * Sa), burnt, rest);
  } else if constexpr (kRule == BlendRule::kAdd) {
    return Sc + Dc;
  } else {
    static_assert(kRule == BlendRule::kSubtract);
    return Sc + Dc - Sa * Da;
  }
}

constexpr bool AddsAlphas(BlendRule rule) {
  return rule == BlendRule::kAdd || rule == BlendRule::kSubtract;
}

// Eight pixels, channel by channel, as 32-bit integers.
struct Pixels8 {
  __m256i c[3];
  __m256i a;
};

// Word j of the channel-wise order is word kToChannels[j] of the pixel order: r0..r7 g0..g7
// b0..b7 a0..a7 from r0 g0 b0 a0 r1 ...; kToPixels goes back.
constexpr uint16_t kToChannels[32] = {0, 4, 8,  12, 16, 20, 24, 28, 1, 5, 9,  13, 17, 21, 25, 29,
                                      2, 6, 10, 14, 18, 22, 26, 30, 3, 7, 11, 15, 19, 23, 27, 31};
constexpr uint16_t kToPixels[32] = {0, 8,  16, 24, 1, 9,  17, 25, 2, 10, 18, 26, 3, 11, 19, 27,
                                    4, 12, 20, 28, 5, 13, 21, 29, 6, 14, 22, 30, 7, 15, 23, 31};

Pixels8 Split(__m512i pixels) {
  const __m512i grouped = _mm512_permutexvar_epi16(_mm512_loadu_si512(kToChannels), pixels);
  const __m512i rg = _mm512_cvtepu16_epi32(_mm512_castsi512_si256(grouped));
  const __m512i ba = _mm512_cvtepu16_epi32(_mm512_extracti64x4_epi64(grouped, 1));
  return {
      {_mm512_castsi512_si256(rg), _mm512_extracti64x4_epi64(rg, 1), _mm512_castsi512_si256(ba)},
      _mm512_extracti64x4_epi64(ba, 1)};
}

// The reverse of Split; every value is 0..65535, so keeping the low halves loses nothing.
void Join(const Pixels8& p, uint16_t* pixels) {
  const __m256i rg =
      _mm512_cvtepi32_epi16(_mm512_inserti64x4(_mm512_castsi256_si512(p.c[0]), p.c[1], 1));
  const __m256i ba =
      _mm512_cvtepi32_epi16(_mm512_inserti64x4(_mm512_castsi256_si512(p.c[2]), p.a, 1));
  const __m512i grouped = _mm512_inserti64x4(_mm512_castsi256_si512(rg), ba, 1);
  _mm512_storeu_si512(pixels, _mm512_permutexvar_epi16(_mm512_loadu_si512(kToPixels), grouped));
}

// The blend of eight pixels with source alphas a over destination d, as BlendPixel computes it:
// Sa = a / 65535, Sc = (s / 65280) Sa, Dc = (d / 65280) Da, X by the rule, R clamped,
// colour = trunc(clamp(X (1 / R)) 65280), alpha = trunc(R 65535). With kOpaqueSource every
// source alpha is 65535 and Sa is the constant 1 it reads as; with kOpaqueDest every destination
// alpha is 65535, so Da, R and 1 / R are all exactly 1.
template <BlendRule kRule, bool kOpaqueSource, bool kOpaqueDest>
Pixels8 Blend(const Pixels8& s, __m256i a, const Pixels8& d) {
  const D8 invColor = Splat(kInvColorOne);
  const D8 invAlpha = Splat(kInvAlphaOne);
  const D8 one = Splat(1.0);
  const D8 Sa = kOpaqueSource ? one : _mm512_cvtepi32_pd(a) * invAlpha;
  const D8 Da = kOpaqueDest ? one : _mm512_cvtepi32_pd(d.a) * invAlpha;
  D8 R = one, perR = one;
  if constexpr (!kOpaqueDest) {
    R = Clamp01(AddsAlphas(kRule) ? Sa + Da : Da + Sa * (one - Da));
    perR = one / R;
  }
  Pixels8 out;
  for (int c = 0; c < 3; ++c) {
    const D8 Sc = _mm512_cvtepi32_pd(s.c[c]) * invColor * Sa;
    const D8 Dc = _mm512_cvtepi32_pd(d.c[c]) * invColor * Da;
    D8 X = RuleX<kRule, kOpaqueSource, kOpaqueDest>(Sc, Dc, Sa, Da);
    if constexpr (!kOpaqueDest) X = X * perR;
    out.c[c] = _mm512_cvttpd_epi32(Clamp01(X) * Splat(kColorOne));
  }
  out.a = kOpaqueDest ? _mm256_set1_epi32(65535) : _mm512_cvttpd_epi32(R * Splat(kAlphaOne));
  return out;
}

// The blend of the pixels in `blends`, by the simplest form that holds for all of them.
template <BlendRule kRule>
Pixels8 BlendSome(Mask blends, const Pixels8& s, __m256i a, const Pixels8& d) {
  const __m256i opaque = _mm256_set1_epi32(65535);
  const bool opaqueSource = (blends & Mask(~_mm256_cmpeq_epi32_mask(a, opaque))) == 0;
  const bool opaqueDest = (blends & Mask(~_mm256_cmpeq_epi32_mask(d.a, opaque))) == 0;
  if (opaqueDest) {
    return opaqueSource ? Blend<kRule, true, true>(s, a, d) : Blend<kRule, false, true>(s, a, d);
  }
  return opaqueSource ? Blend<kRule, true, false>(s, a, d) : Blend<kRule, false, false>(s, a, d);
}

// How far ahead of the pixels at hand the source and destination are fetched.
constexpr int32_t kPrefetchPixels = 256;

template <BlendRule kRule>
void RuleRowAvx512(const uint16_t* s, uint16_t* d, int32_t width, const CompositeSetup& k) {
  const bool writeAlpha = !k.alphaLock;
  const __m256i factor = _mm256_set1_epi32(k.opacityFactor);
  const __m512i alphaWords = _mm512_set1_epi64(int64_t(0xFFFF) << 48);

  int32_t x = 0;
  for (; x + 8 <= width; x += 8) {
    const uint16_t* sp = s + 4 * x;
    uint16_t* dp = d + 4 * x;
    _mm_prefetch(reinterpret_cast<const char*>(sp + 4 * kPrefetchPixels), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(dp + 4 * kPrefetchPixels), _MM_HINT_T0);
    // Runs of clear pixels leave the destination as it is.
    const __m512i raw = _mm512_loadu_si512(sp);
    if (_mm512_test_epi64_mask(raw, alphaWords) == 0) continue;
    const Pixels8 src = Split(raw);
    const Pixels8 dst = Split(_mm512_loadu_si512(dp));
    const __m256i a = _mm256_srli_epi32(_mm256_mullo_epi32(src.a, factor), 8);
    const Mask live = _mm256_test_epi32_mask(src.a, src.a);
    const Mask emptyDest = _mm256_testn_epi32_mask(dst.a, dst.a);
    const Mask noAlpha = _mm256_testn_epi32_mask(a, a);
    // Over a transparent destination: nothing (alpha 0) or the source; over any other: the
    // blend, unless the opacity left no alpha, which keeps the destination.
    const Mask clears = live & emptyDest & noAlpha;
    const Mask copies = live & emptyDest & Mask(~noAlpha);
    const Mask blends = live & Mask(~(emptyDest | noAlpha));
    if ((clears | copies | blends) == 0) continue;
    Pixels8 out = dst;
    if (blends) {
      const Pixels8 blended = BlendSome<kRule>(blends, src, a, dst);
      for (int c = 0; c < 3; ++c)
        out.c[c] = _mm256_mask_blend_epi32(blends, dst.c[c], blended.c[c]);
      out.a = _mm256_mask_blend_epi32(blends, dst.a, blended.a);
    }
    for (int c = 0; c < 3; ++c) {
      out.c[c] = _mm256_maskz_mov_epi32(Mask(~clears),
                                        _mm256_mask_blend_epi32(copies, out.c[c], src.c[c]));
    }
    out.a = writeAlpha
                ? _mm256_maskz_mov_epi32(Mask(~clears), _mm256_mask_blend_epi32(copies, out.a, a))
                : dst.a;
    Join(out, dp);
  }
  CompositeUnclippedPixels(s + 4 * x, d + 4 * x, width - x, k);
}

// Indexed by rule; null for the rules without a kernel. Filled at compile time, so nothing in
// this file runs before the caller has checked the processor.
constexpr RuleRowKernels MakeRuleRowsAvx512() {
  RuleRowKernels t{};
  t[static_cast<int>(BlendRule::kMultiply)] = &RuleRowAvx512<BlendRule::kMultiply>;
  t[static_cast<int>(BlendRule::kScreen)] = &RuleRowAvx512<BlendRule::kScreen>;
  t[static_cast<int>(BlendRule::kOverlay)] = &RuleRowAvx512<BlendRule::kOverlay>;
  t[static_cast<int>(BlendRule::kSoftLight)] = &RuleRowAvx512<BlendRule::kSoftLight>;
  t[static_cast<int>(BlendRule::kDarken)] = &RuleRowAvx512<BlendRule::kDarken>;
  t[static_cast<int>(BlendRule::kLighten)] = &RuleRowAvx512<BlendRule::kLighten>;
  t[static_cast<int>(BlendRule::kAdd)] = &RuleRowAvx512<BlendRule::kAdd>;
  t[static_cast<int>(BlendRule::kSubtract)] = &RuleRowAvx512<BlendRule::kSubtract>;
  t[static_cast<int>(BlendRule::kDodge)] = &RuleRowAvx512<BlendRule::kDodge>;
  t[static_cast<int>(BlendRule::kBurn)] = &RuleRowAvx512<BlendRule::kBurn>;
  return t;
}

}  // namespace

constinit const RuleRowKernels kRuleRowsAvx512 = MakeRuleRowsAvx512();

#else

constinit const RuleRowKernels kRuleRowsAvx512{};

#endif

}  // namespace render
