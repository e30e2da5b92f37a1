// One row of a layer in a mode with the Normal rule (Normal, Reflect, Glow, 22), without layer
// mask, four pixels at a time on AVX2. The four pixels are turned channel-wise (one register per
// channel), every case of the per-pixel rule is computed for all four and the right one is kept
// per pixel: a transparent source keeps the destination, a transparent destination or an opaque
// Normal source takes the source, and the rest blends in double precision with exactly the
// operations of the scalar rule, in the same order, each rounded the same way (this file is built
// without contraction into fused multiply-adds), then truncated. Rows shorter than four pixels and
// the last pixels of a row go through the scalar rule itself.
#include "render/composite_internal.h"

#if defined(__x86_64__) || defined(__i386__)
#include "render/pixel_lanes_avx2.h"
#endif

namespace render {

#if defined(__x86_64__) || defined(__i386__)
namespace {

using lanes::Channels;
using lanes::Clamp01;
using lanes::Join;
using lanes::Select;
using lanes::Split;

// The Normal blend of four pixels with source alphas a and destination d, as BlendPixel computes
// it: Sa = a / 65535, Sc = (s / 65280) Sa, Dc = (d / 65280) Da, X = Sc + Dc (1 - Sa),
// R = clamp(Da + Sa (1 - Da)), colour = trunc(clamp(X / R) 65280) with X / R as X * (1 / R),
// alpha = trunc(R 65535).
inline Channels BlendNormal(const Channels& s, __m128i a, const Channels& d) {
  const __m256d invColor = _mm256_set1_pd(kInvColorOne);
  const __m256d invAlpha = _mm256_set1_pd(kInvAlphaOne);
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d Sa = _mm256_mul_pd(_mm256_cvtepi32_pd(a), invAlpha);
  const __m256d Da = _mm256_mul_pd(_mm256_cvtepi32_pd(d.a), invAlpha);
  const __m256d R = Clamp01(_mm256_add_pd(Da, _mm256_mul_pd(Sa, _mm256_sub_pd(one, Da))));
  const __m256d perR = _mm256_div_pd(one, R);
  const __m256d notSa = _mm256_sub_pd(one, Sa);
  Channels out;
  for (int c = 0; c < 3; ++c) {
    const __m256d Sc = _mm256_mul_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(s.c[c]), invColor), Sa);
    const __m256d Dc = _mm256_mul_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(d.c[c]), invColor), Da);
    const __m256d X = _mm256_add_pd(Sc, _mm256_mul_pd(Dc, notSa));
    out.c[c] = _mm256_cvttpd_epi32(
        _mm256_mul_pd(Clamp01(_mm256_mul_pd(X, perR)), _mm256_set1_pd(kColorOne)));
  }
  out.a = _mm256_cvttpd_epi32(_mm256_mul_pd(R, _mm256_set1_pd(kAlphaOne)));
  return out;
}

void NormalRowAvx2(const uint16_t* s, uint16_t* d, int32_t width, const CompositeSetup& k) {
  const bool opaqueCopies = (kMergeModes[k.mode].flags & kOpaqueCopyFlag) != 0;
  const bool writeAlpha = !k.alphaLock;
  // Without opacity or lock an opaque Normal source is copied whole, alpha included.
  const bool copyWhole = opaqueCopies && k.opacityFactor == 256 && writeAlpha;
  const __m128i zero = _mm_setzero_si128();
  const __m128i factor = _mm_set1_epi32(k.opacityFactor);
  const __m128i belowOpaque = _mm_set1_epi32(65279);
  const __m128i copiesOpaque = opaqueCopies ? _mm_set1_epi32(-1) : zero;
  const __m256i alphaWords = _mm256_set1_epi64x(int64_t(0xFFFF) << 48);
  const __m256i opaqueFrom = _mm256_set1_epi64x(65280);

  int32_t x = 0;
  for (; x + 4 <= width; x += 4) {
    const uint16_t* sp = s + 4 * x;
    uint16_t* dp = d + 4 * x;
    const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sp));
    const __m256i alphas = _mm256_and_si256(raw, alphaWords);
    // Runs of clear pixels leave the destination as it is.
    if (_mm256_testz_si256(alphas, alphas)) continue;
    // Runs of opaque pixels replace it: no alpha below 65280.
    if (copyWhole) {
      const __m256i below = _mm256_cmpgt_epi64(opaqueFrom, _mm256_srli_epi64(alphas, 48));
      if (_mm256_testz_si256(below, below)) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dp), raw);
        continue;
      }
    }
    const Channels src = Split(sp);
    const Channels dst = Split(dp);
    const __m128i a = _mm_srli_epi32(_mm_mullo_epi32(src.a, factor), 8);
    const __m128i skip = _mm_cmpeq_epi32(src.a, zero);
    const __m128i emptyDest = _mm_cmpeq_epi32(dst.a, zero);
    const __m128i noAlpha = _mm_cmpeq_epi32(a, zero);
    const __m128i opaque = _mm_and_si128(copiesOpaque, _mm_cmpgt_epi32(a, belowOpaque));
    // Over a transparent destination: nothing (alpha 0) or the source; over any other: the source
    // when opaque, else the blend; a source alpha of 0 after opacity keeps the destination.
    const __m128i live = _mm_andnot_si128(skip, _mm_set1_epi32(-1));
    const __m128i clears = _mm_and_si128(live, _mm_and_si128(emptyDest, noAlpha));
    const __m128i copies =
        _mm_and_si128(_mm_andnot_si128(noAlpha, live), _mm_or_si128(emptyDest, opaque));
    const __m128i blends =
        _mm_andnot_si128(_mm_or_si128(emptyDest, _mm_or_si128(noAlpha, opaque)), live);
    Channels out;
    if (_mm_testz_si128(blends, blends)) {
      out = dst;
    } else {
      out = BlendNormal(src, a, dst);
      for (int c = 0; c < 3; ++c) out.c[c] = Select(blends, out.c[c], dst.c[c]);
      out.a = Select(blends, out.a, dst.a);
    }
    for (int c = 0; c < 3; ++c) {
      out.c[c] = _mm_andnot_si128(clears, Select(copies, src.c[c], out.c[c]));
    }
    if (writeAlpha) {
      out.a = _mm_andnot_si128(clears, Select(copies, a, out.a));
    } else {
      out.a = dst.a;
    }
    Join(out, dp);
  }
  CompositeUnclippedPixels(s + 4 * x, d + 4 * x, width - x, k);
}

}  // namespace

extern const NormalRowKernel kNormalRowAvx2 = &NormalRowAvx2;

#else

extern const NormalRowKernel kNormalRowAvx2 = nullptr;

#endif

}  // namespace render
