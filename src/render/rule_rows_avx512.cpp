// One row of a layer in an ordinary mode whose rule is Multiply, Screen, Overlay, Soft Light,
// Darken, Lighten, Add, Subtract, Dodge or Burn, without layer mask, eight pixels at a time on
// AVX-512. Pixels stay one to a 64-bit lane, as they lie in memory, so that no shuffle between a
// pixel order and a channel order is needed. Each case of the per-pixel rule is computed for all
// eight pixels and the right one kept per pixel, and the blends are the scalar rules written
// again on eight double lanes: the same operations in the same order, each rounded the same way
// (this file is built without contraction into fused multiply-adds), so every pixel comes out as
// the scalar rule gives it.
//
// Where every blended pixel of the eight lies on an opaque destination (alpha 65535), the result
// alpha and its division are left out: Da = 65535 / 65535 is exactly 1, so R = 1 + Sa (1 - 1) (or
// clamp(Sa + 1) for the rules that add alphas) is exactly 1, 1 / R is 1 and X (1 / R) is X. The
// rules then run with Da the constant 1, which also turns Soft Light's m = Dc / Da into Dc; an
// opaque source likewise runs with Sa the constant 1. The values are those the alphas read as, so
// the compiler only drops operations whose result it knows exactly (a product with 1, a quotient
// by 1). Runs of clear source pixels are skipped before anything is unpacked. Groups go two at a
// time, then one; the last pixels of a row go through the scalar rule itself.
#include <type_traits>

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

// Eight pixels, each in its own 64-bit lane as it lies in memory: red in bits 0..15, green in
// 16..31, blue in 32..47 and alpha in 48..63. A lane is a pixel, so the choice between the
// blend, a copy, a clear and the destination as it was is one masked move per group, and a
// channel is one shift and mask away from its lane.
using Pixels8 = __m512i;

constexpr int64_t kAlphaBits = int64_t{0xFFFF} << 48;
constexpr int64_t kColourBits = (int64_t{1} << 48) - 1;

__m512i Channel(Pixels8 pixels, unsigned shift) {
  return _mm512_and_si512(_mm512_srli_epi64(pixels, shift), _mm512_set1_epi64(0xFFFF));
}

// Every lane holds a whole number below 2^16, which a double holds exactly.
D8 ToDouble(__m512i lanes) { return _mm512_cvtepi64_pd(lanes); }

// Rules whose premultiplied result is never negative, so that the clamp's lower bound never
// applies and is left out: Multiply's terms are products and sums of values of 0 or more, and
// such operations round to values of 0 or more.
constexpr bool NeverNegative(BlendRule rule) { return rule == BlendRule::kMultiply; }

// The blend of eight pixels with source alphas a over destination d, as BlendPixel computes it:
// Sa = a / 65535, Sc = (s / 65280) Sa, Dc = (d / 65280) Da, X by the rule, R clamped,
// colour = trunc(clamp(X (1 / R)) 65280), alpha = trunc(R 65535). With kOpaqueSource every
// source alpha is 65535 and Sa is the constant 1 it reads as; with kOpaqueDest every destination
// alpha is 65535, so Da, R and 1 / R are all exactly 1.
template <BlendRule kRule, bool kOpaqueSource, bool kOpaqueDest>
Pixels8 Blend(Pixels8 s, __m512i a, Pixels8 d) {
  const D8 invColor = Splat(kInvColorOne);
  const D8 invAlpha = Splat(kInvAlphaOne);
  const D8 one = Splat(1.0);
  const D8 Sa = kOpaqueSource ? one : ToDouble(a) * invAlpha;
  const D8 Da = kOpaqueDest ? one : ToDouble(_mm512_srli_epi64(d, 48)) * invAlpha;
  D8 R = one, perR = one;
  if constexpr (!kOpaqueDest) {
    R = Clamp01(AddsAlphas(kRule) ? Sa + Da : Da + Sa * (one - Da));
    perR = one / R;
  }
  Pixels8 out = kOpaqueDest ? _mm512_set1_epi64(kAlphaBits)
                            : _mm512_slli_epi64(_mm512_cvttpd_epi64(R * Splat(kAlphaOne)), 48);
  for (unsigned c = 0; c < 3; ++c) {
    const D8 Sc = ToDouble(Channel(s, 16 * c)) * invColor * Sa;
    const D8 Dc = ToDouble(Channel(d, 16 * c)) * invColor * Da;
    D8 X = RuleX<kRule, kOpaqueSource, kOpaqueDest>(Sc, Dc, Sa, Da);
    if constexpr (!kOpaqueDest) X = X * perR;
    const D8 clamped = NeverNegative(kRule) ? _mm512_min_pd(X, one) : Clamp01(X);
    const __m512i value = _mm512_cvttpd_epi64(clamped * Splat(kColorOne));
    out = _mm512_or_si512(out, _mm512_slli_epi64(value, 16 * c));
  }
  return out;
}

// A group of eight pixels read for compositing: the source and destination as they are, the
// source alphas after the opacity, and which pixels are cleared, copied or blended.
struct Group {
  Pixels8 src, dst;
  __m512i a;
  Mask clears, copies, blends;
};

Group ReadGroup(const uint16_t* sp, const uint16_t* dp, __m512i factor) {
  const __m512i alphaBits = _mm512_set1_epi64(kAlphaBits);
  Group g;
  g.src = _mm512_loadu_si512(sp);
  g.dst = _mm512_loadu_si512(dp);
  const Mask live = _mm512_test_epi64_mask(g.src, alphaBits);
  // a = (sa factor) >> 8; the factor is at most 256, so the product fits the low 32 bits.
  g.a = _mm512_srli_epi64(_mm512_mul_epu32(_mm512_srli_epi64(g.src, 48), factor), 8);
  const Mask emptyDest = _mm512_testn_epi64_mask(g.dst, alphaBits);
  const Mask noAlpha = _mm512_testn_epi64_mask(g.a, g.a);
  // Over a transparent destination: nothing (alpha 0) or the source; over any other: the
  // blend, unless the opacity left no alpha, which keeps the destination.
  g.clears = live & emptyDest & noAlpha;
  g.copies = live & emptyDest & Mask(~noAlpha);
  g.blends = live & Mask(~(emptyDest | noAlpha));
  return g;
}

// Stores the group: the blend where it blends, the source (with its scaled alpha) where it is
// copied, nothing where it is cleared, the destination elsewhere.
void WriteGroup(const Group& g, Pixels8 blended, bool alphaLock, uint16_t* dp) {
  const __m512i colourBits = _mm512_set1_epi64(kColourBits);
  Pixels8 out = _mm512_mask_blend_epi64(g.blends, g.dst, blended);
  const Pixels8 copied =
      _mm512_or_si512(_mm512_and_si512(g.src, colourBits), _mm512_slli_epi64(g.a, 48));
  out = _mm512_mask_blend_epi64(g.copies, out, copied);
  out = _mm512_maskz_mov_epi64(Mask(~g.clears), out);
  // Under the alpha lock every pixel keeps the destination's alpha: colour bits from out, the
  // rest from dst (0xCA selects the second operand where the first has a 1, else the third).
  if (alphaLock) out = _mm512_ternarylogic_epi64(colourBits, out, g.dst, 0xCA);
  _mm512_storeu_si512(dp, out);
}

// The blended pixels of a group whose source or destination alpha is not 65535.
Mask SoftSources(const Group& g) {
  return g.blends & Mask(~_mm512_cmpeq_epi64_mask(g.a, _mm512_set1_epi64(65535)));
}
Mask SoftDests(const Group& g) {
  const __m512i alphas = _mm512_srli_epi64(g.dst, 48);
  return g.blends & Mask(~_mm512_cmpeq_epi64_mask(alphas, _mm512_set1_epi64(65535)));
}

// The blends of one or two groups by the simplest form that holds for every blended pixel of
// them. Two independent groups in one stretch of code let the processor work on the second
// while the first waits for its divisions and roots.
template <BlendRule kRule, int kGroups>
void BlendGroups(const Group* g, Pixels8* blended) {
  Mask softSources = 0, softDests = 0;
  for (int i = 0; i < kGroups; ++i) {
    softSources |= SoftSources(g[i]);
    softDests |= SoftDests(g[i]);
  }
  auto run = [&](auto opaqueSource, auto opaqueDest) {
    for (int i = 0; i < kGroups; ++i) {
      blended[i] = Blend<kRule, opaqueSource(), opaqueDest()>(g[i].src, g[i].a, g[i].dst);
    }
  };
  using Yes = std::true_type;
  using No = std::false_type;
  if (softDests == 0) {
    softSources == 0 ? run(Yes(), Yes()) : run(No(), Yes());
  } else {
    softSources == 0 ? run(Yes(), No()) : run(No(), No());
  }
}

// How far ahead of the pixels at hand the source and destination are fetched.
constexpr int32_t kPrefetchPixels = 256;

template <BlendRule kRule>
void RuleRowAvx512(const uint16_t* s, uint16_t* d, int32_t width, const CompositeSetup& k) {
  const __m512i factor = _mm512_set1_epi64(k.opacityFactor);
  const __m512i alphaBits = _mm512_set1_epi64(kAlphaBits);

  int32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const uint16_t* sp = s + 4 * x;
    uint16_t* dp = d + 4 * x;
    for (int line = 0; line < 2; ++line) {
      _mm_prefetch(reinterpret_cast<const char*>(sp + 4 * kPrefetchPixels + 32 * line),
                   _MM_HINT_T0);
      _mm_prefetch(reinterpret_cast<const char*>(dp + 4 * kPrefetchPixels + 32 * line),
                   _MM_HINT_T0);
    }
    // Runs of clear pixels leave the destination as it is.
    const Mask live = _mm512_test_epi64_mask(_mm512_loadu_si512(sp), alphaBits) |
                      _mm512_test_epi64_mask(_mm512_loadu_si512(sp + 32), alphaBits);
    if (live == 0) continue;
    const Group g[2] = {ReadGroup(sp, dp, factor), ReadGroup(sp + 32, dp + 32, factor)};
    Pixels8 blended[2] = {g[0].dst, g[1].dst};
    if (g[0].blends | g[1].blends) BlendGroups<kRule, 2>(g, blended);
    WriteGroup(g[0], blended[0], k.alphaLock, dp);
    WriteGroup(g[1], blended[1], k.alphaLock, dp + 32);
  }
  for (; x + 8 <= width; x += 8) {
    const Group g = ReadGroup(s + 4 * x, d + 4 * x, factor);
    Pixels8 blended = g.dst;
    if (g.blends) BlendGroups<kRule, 1>(&g, &blended);
    WriteGroup(g, blended, k.alphaLock, d + 4 * x);
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
