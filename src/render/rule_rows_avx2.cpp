// One row of a layer in an ordinary mode whose rule is Multiply, Screen, Overlay, Soft Light,
// Darken, Lighten, Add, Subtract, Dodge or Burn, without layer mask, four pixels at a time on
// AVX2. Each case of the per-pixel rule is computed for all four pixels and the right one kept
// per pixel: a transparent source keeps the destination, a transparent destination takes the
// source (or is cleared when the opacity leaves no alpha), and the rest blends in double
// precision (without the result alpha's division where every blended pixel lies on an opaque
// destination). The blends below are the scalar rules written again on four lanes: the same
// operations in the same order, each rounded the same way (this file is built without contraction
// into fused multiply-adds), so every pixel comes out as the scalar rule gives it. The last pixels
// of a row go through the scalar rule itself.
#include "render/composite_internal.h"

#if defined(__x86_64__) || defined(__i386__)
#include "render/pixel_lanes_avx2.h"
#include "render/rule_lanes_avx2.h"
#endif

namespace render {

#if defined(__x86_64__) || defined(__i386__)
namespace {

using lanes::Channels;
using lanes::Clamp01;
using lanes::Join;
using lanes::Select;
using lanes::Split;
using namespace rule_lanes;

static_assert(65535 * kInvAlphaOne == 1.0, "an opaque alpha must read as exactly 1");

// The blend of four pixels with source alphas a over destination d, as BlendPixel computes it:
// Sa = a / 65535, Sc = (s / 65280) Sa, Dc = (d / 65280) Da, X by the rule, R clamped,
// colour = trunc(clamp(X (1 / R)) 65280), alpha = trunc(R 65535). With kOpaqueDest every
// destination alpha is 65535: Da = 65535 / 65535 is exactly 1, so R = 1 + Sa (1 - 1) (or
// clamp(Sa + 1) for the rules that add alphas) is exactly 1, 1 / R is 1 and X (1 / R) is X; the
// division is left out and the rule runs with Da the constant 1.
template <BlendRule kRule, bool kOpaqueDest>
inline Channels Blend(const Channels& s, __m128i a, const Channels& d) {
  const D4 invColor = Splat(kInvColorOne);
  const D4 invAlpha = Splat(kInvAlphaOne);
  const D4 one = Splat(1.0);
  const D4 Sa = _mm256_cvtepi32_pd(a) * invAlpha;
  const D4 Da = kOpaqueDest ? one : _mm256_cvtepi32_pd(d.a) * invAlpha;
  D4 R = one, perR = one;
  if constexpr (!kOpaqueDest) {
    R = Clamp01(AddsAlphas(kRule) ? Sa + Da : Da + Sa * (one - Da));
    perR = one / R;
  }
  Channels out;
  for (int c = 0; c < 3; ++c) {
    const D4 Sc = _mm256_cvtepi32_pd(s.c[c]) * invColor * Sa;
    const D4 Dc = _mm256_cvtepi32_pd(d.c[c]) * invColor * Da;
    D4 X = RuleX<kRule>(Sc, Dc, Sa, Da);
    if constexpr (!kOpaqueDest) X = X * perR;
    out.c[c] = _mm256_cvttpd_epi32(Clamp01(X) * Splat(kColorOne));
  }
  out.a = kOpaqueDest ? _mm_set1_epi32(65535) : _mm256_cvttpd_epi32(R * Splat(kAlphaOne));
  return out;
}

// How far ahead of the pixels at hand the source and destination are fetched.
constexpr int32_t kPrefetchPixels = 256;

template <BlendRule kRule>
void RuleRowAvx2(const uint16_t* s, uint16_t* d, int32_t width, const CompositeSetup& k) {
  const bool writeAlpha = !k.alphaLock;
  const __m128i zero = _mm_setzero_si128();
  const __m128i factor = _mm_set1_epi32(k.opacityFactor);
  const __m256i alphaWords = _mm256_set1_epi64x(int64_t(0xFFFF) << 48);

  int32_t x = 0;
  for (; x + 4 <= width; x += 4) {
    const uint16_t* sp = s + 4 * x;
    uint16_t* dp = d + 4 * x;
    _mm_prefetch(reinterpret_cast<const char*>(sp + 4 * kPrefetchPixels), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(dp + 4 * kPrefetchPixels), _MM_HINT_T0);
    // Runs of clear pixels leave the destination as it is.
    const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sp));
    const __m256i alphas = _mm256_and_si256(raw, alphaWords);
    if (_mm256_testz_si256(alphas, alphas)) continue;
    const Channels src = Split(sp);
    const Channels dst = Split(dp);
    const __m128i a = _mm_srli_epi32(_mm_mullo_epi32(src.a, factor), 8);
    const __m128i live = _mm_andnot_si128(_mm_cmpeq_epi32(src.a, zero), _mm_set1_epi32(-1));
    const __m128i emptyDest = _mm_cmpeq_epi32(dst.a, zero);
    const __m128i noAlpha = _mm_cmpeq_epi32(a, zero);
    // Over a transparent destination: nothing (alpha 0) or the source; over any other: the
    // blend, unless the opacity left no alpha, which keeps the destination.
    const __m128i clears = _mm_and_si128(live, _mm_and_si128(emptyDest, noAlpha));
    const __m128i copies = _mm_and_si128(_mm_andnot_si128(noAlpha, live), emptyDest);
    const __m128i blends = _mm_andnot_si128(_mm_or_si128(emptyDest, noAlpha), live);
    Channels out = dst;
    if (!_mm_testz_si128(blends, blends)) {
      const __m128i opaqueDest = _mm_cmpeq_epi32(dst.a, _mm_set1_epi32(65535));
      const Channels blended = _mm_testc_si128(opaqueDest, blends)
                                   ? Blend<kRule, true>(src, a, dst)
                                   : Blend<kRule, false>(src, a, dst);
      for (int c = 0; c < 3; ++c) out.c[c] = Select(blends, blended.c[c], dst.c[c]);
      out.a = Select(blends, blended.a, dst.a);
    }
    for (int c = 0; c < 3; ++c) {
      out.c[c] = _mm_andnot_si128(clears, Select(copies, src.c[c], out.c[c]));
    }
    out.a = writeAlpha ? _mm_andnot_si128(clears, Select(copies, a, out.a)) : dst.a;
    Join(out, dp);
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
