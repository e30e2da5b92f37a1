// One row of a layer in an ordinary mode whose rule is Multiply, Screen, Overlay, Soft Light,
// Darken, Lighten, Add, Subtract, Dodge or Burn, without layer mask, four pixels at a time on
// AVX2, each pixel in its own 64-bit lane as it lies in memory. Each case of the per-pixel rule is
// computed for all four pixels and the right one kept per pixel: a transparent source keeps the
// destination, a transparent destination takes the source (or is cleared when the opacity leaves no
// alpha), and the rest blends in double precision (without the result alpha's division where every
// blended pixel lies on an opaque destination). The blends below are the scalar rules written again
// on four lanes: the same operations in the same order, each rounded the same way (this file is
// built without contraction into fused multiply-adds), so every pixel comes out as the scalar rule
// gives it. The last pixels of a row go through the scalar rule itself.
#include "render/composite_internal.h"

#if defined(__x86_64__) || defined(__i386__)
#include "render/pixel_lanes_avx2.h"
#include "render/rule_lanes_avx2.h"
#endif

namespace render {

#if defined(__x86_64__) || defined(__i386__)
namespace {

using lanes::Clamp01;
using namespace rule_lanes;

static_assert(65535 * kInvAlphaOne == 1.0, "an opaque alpha must read as exactly 1");

// Four pixels, each in its own 64-bit lane as it lies in memory: red in bits 0..15, green in
// 16..31, blue in 32..47 and alpha in 48..63. A lane is a pixel, so the choice between the
// blend, a copy, a clear and the destination as it was is one blend per group, and a channel is
// one shift and mask away from its lane.
using Pixels4 = __m256i;

constexpr int64_t kAlphaBits = int64_t{0xFFFF} << 48;
constexpr int64_t kColourBits = (int64_t{1} << 48) - 1;
// 2^52 as a double: a whole number v below 2^52 placed in its low mantissa bits reads as 2^52 + v.
constexpr int64_t kTwoTo52Bits = int64_t{0x4330} << 48;

__m256i Channel(Pixels4 pixels, int shift) {
  return _mm256_and_si256(_mm256_srli_epi64(pixels, shift), _mm256_set1_epi64x(0xFFFF));
}

// Lanes holding whole numbers below 2^16 as doubles: (2^52 + v) - 2^52 is exactly v.
D4 ToDouble(__m256i lanes) {
  const __m256i biased = _mm256_or_si256(lanes, _mm256_set1_epi64x(kTwoTo52Bits));
  return _mm256_castsi256_pd(biased) - Splat(4503599627370496.0);
}

// Truncated toward zero, as the scalar conversion does, each into its 64-bit lane.
__m256i ToLanes(D4 v) { return _mm256_cvtepu32_epi64(_mm256_cvttpd_epi32(v)); }

// Where a lane of mask is all ones, yes; elsewhere no.
__m256i Choose(__m256i mask, __m256i yes, __m256i no) { return _mm256_blendv_epi8(no, yes, mask); }

// The blend of four pixels with source alphas a over destination d, as BlendPixel computes it:
// Sa = a / 65535, Sc = (s / 65280) Sa, Dc = (d / 65280) Da, X by the rule, R clamped,
// colour = trunc(clamp(X (1 / R)) 65280), alpha = trunc(R 65535). With kOpaqueDest every
// destination alpha is 65535: Da = 65535 / 65535 is exactly 1, so R = 1 + Sa (1 - 1) (or
// clamp(Sa + 1) for the rules that add alphas) is exactly 1, 1 / R is 1 and X (1 / R) is X; the
// division is left out and the rule runs with Da the constant 1.
template <BlendRule kRule, bool kOpaqueDest>
Pixels4 Blend(Pixels4 s, __m256i a, Pixels4 d) {
  const D4 invColor = Splat(kInvColorOne);
  const D4 invAlpha = Splat(kInvAlphaOne);
  const D4 one = Splat(1.0);
  const D4 Sa = ToDouble(a) * invAlpha;
  const D4 Da = kOpaqueDest ? one : ToDouble(_mm256_srli_epi64(d, 48)) * invAlpha;
  D4 R = one, perR = one;
  if constexpr (!kOpaqueDest) {
    R = Clamp01(AddsAlphas(kRule) ? Sa + Da : Da + Sa * (one - Da));
    perR = one / R;
  }
  Pixels4 out = kOpaqueDest ? _mm256_set1_epi64x(kAlphaBits)
                            : _mm256_slli_epi64(ToLanes(R * Splat(kAlphaOne)), 48);
  for (int c = 0; c < 3; ++c) {
    const D4 Sc = ToDouble(Channel(s, 16 * c)) * invColor * Sa;
    const D4 Dc = ToDouble(Channel(d, 16 * c)) * invColor * Da;
    D4 X = RuleX<kRule>(Sc, Dc, Sa, Da);
    if constexpr (!kOpaqueDest) X = X * perR;
    out = _mm256_or_si256(out, _mm256_slli_epi64(ToLanes(Clamp01(X) * Splat(kColorOne)), 16 * c));
  }
  return out;
}

// How far ahead of the pixels at hand the source and destination are fetched.
constexpr int32_t kPrefetchPixels = 256;

template <BlendRule kRule>
void RuleRowAvx2(const uint16_t* s, uint16_t* d, int32_t width, const CompositeSetup& k) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i factor = _mm256_set1_epi64x(k.opacityFactor);
  const __m256i alphaBits = _mm256_set1_epi64x(kAlphaBits);
  const __m256i colourBits = _mm256_set1_epi64x(kColourBits);

  int32_t x = 0;
  for (; x + 4 <= width; x += 4) {
    const uint16_t* sp = s + 4 * x;
    uint16_t* dp = d + 4 * x;
    _mm_prefetch(reinterpret_cast<const char*>(sp + 4 * kPrefetchPixels), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(dp + 4 * kPrefetchPixels), _MM_HINT_T0);
    // Runs of clear pixels leave the destination as it is.
    const Pixels4 src = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sp));
    if (_mm256_testz_si256(src, alphaBits)) continue;
    const Pixels4 dst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dp));
    const __m256i sa = _mm256_srli_epi64(src, 48);
    // a = (sa factor) >> 8; the factor is at most 256, so the product fits the low 32 bits.
    const __m256i a = _mm256_srli_epi64(_mm256_mul_epu32(sa, factor), 8);
    const __m256i clear = _mm256_cmpeq_epi64(sa, zero);
    const __m256i emptyDest = _mm256_cmpeq_epi64(_mm256_and_si256(dst, alphaBits), zero);
    const __m256i noAlpha = _mm256_cmpeq_epi64(a, zero);
    // Over a transparent destination: nothing (alpha 0) or the source; over any other: the
    // blend, unless the opacity left no alpha, which keeps the destination.
    const __m256i clears = _mm256_andnot_si256(clear, _mm256_and_si256(emptyDest, noAlpha));
    const __m256i copies = _mm256_andnot_si256(_mm256_or_si256(clear, noAlpha), emptyDest);
    const __m256i blends = _mm256_andnot_si256(
        _mm256_or_si256(clear, _mm256_or_si256(emptyDest, noAlpha)), _mm256_set1_epi64x(-1));
    Pixels4 out = dst;
    if (!_mm256_testz_si256(blends, blends)) {
      const __m256i opaqueDest =
          _mm256_cmpeq_epi64(_mm256_srli_epi64(dst, 48), _mm256_set1_epi64x(65535));
      const Pixels4 blended = _mm256_testc_si256(opaqueDest, blends)
                                  ? Blend<kRule, true>(src, a, dst)
                                  : Blend<kRule, false>(src, a, dst);
      out = Choose(blends, blended, out);
    }
    const Pixels4 copied =
        _mm256_or_si256(_mm256_and_si256(src, colourBits), _mm256_slli_epi64(a, 48));
    out = _mm256_andnot_si256(clears, Choose(copies, copied, out));
    // Under the alpha lock every pixel keeps the destination's alpha.
    if (k.alphaLock) {
      out = _mm256_or_si256(_mm256_and_si256(out, colourBits), _mm256_and_si256(dst, alphaBits));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dp), out);
  }
  CompositeUnclippedPixels(s + 4 * x, d + 4 * x, width - x, k);
}

// Indexed by rule; null for the rules without a kernel. Filled at compile time, so nothing in
// this file runs before the caller has checked the processor.
constexpr RuleRowKernels MakeRuleRowsAvx2() {
  RuleRowKernels t{};
  t[static_cast<int>(BlendRule::kMultiply)] = &RuleRowAvx2<BlendRule::kMultiply>;
  t[static_cast<int>(BlendRule::kScreen)] = &RuleRowAvx2<BlendRule::kScreen>;
  t[static_cast<int>(BlendRule::kOverlay)] = &RuleRowAvx2<BlendRule::kOverlay>;
  t[static_cast<int>(BlendRule::kSoftLight)] = &RuleRowAvx2<BlendRule::kSoftLight>;
  t[static_cast<int>(BlendRule::kDarken)] = &RuleRowAvx2<BlendRule::kDarken>;
  t[static_cast<int>(BlendRule::kLighten)] = &RuleRowAvx2<BlendRule::kLighten>;
  t[static_cast<int>(BlendRule::kAdd)] = &RuleRowAvx2<BlendRule::kAdd>;
  t[static_cast<int>(BlendRule::kSubtract)] = &RuleRowAvx2<BlendRule::kSubtract>;
  t[static_cast<int>(BlendRule::kDodge)] = &RuleRowAvx2<BlendRule::kDodge>;
  t[static_cast<int>(BlendRule::kBurn)] = &RuleRowAvx2<BlendRule::kBurn>;
  return t;
}

}  // namespace

constinit const RuleRowKernels kRuleRowsAvx2 = MakeRuleRowsAvx2();

#else

constinit const RuleRowKernels kRuleRowsAvx2{};

#endif

}  // namespace render
