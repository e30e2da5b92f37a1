// The smudge brush's kernels for processors with AVX-512: four pixels (sixteen 32-bit lanes) at a
// time, the same arithmetic as the AVX2 kernels with the per-lane choices as masks.
#include <immintrin.h>

// GCC 12 warns about the deliberately undefined vectors inside its own AVX-512 intrinsics.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "brush/carried_paint_kernels.h"

namespace brush {
namespace {

constexpr __mmask16 kAlphaLanes = 0x8888;
constexpr __mmask16 kColourLanes = 0x7777;

inline __m512i LoadQuad(const uint16_t* pixels) {
  return _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels)));
}
inline void StoreQuad(uint16_t* pixels, __m512i values) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels), _mm512_cvtepi32_epi16(values));
}
inline __m512i SpreadQuad(__m128i values) {
  return _mm512_permutexvar_epi32(_mm512_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3),
                                  _mm512_castsi128_si512(values));
}
inline __m512i Alphas(__m512i pixels) { return _mm512_shuffle_epi32(pixels, _MM_PERM_DDDD); }
inline __m512i MixProducts(__m512i a, __m512i b, __m512i c, __m512i d) {
  return _mm512_srli_epi32(_mm512_add_epi32(_mm512_srli_epi32(_mm512_mullo_epi32(a, b), 8),
                                            _mm512_srli_epi32(_mm512_mullo_epi32(c, d), 8)),
                           8);
}

template <bool kRemix>
int32_t CarriedPaintQuads(uint16_t* target, const uint32_t* coverage, int32_t count,
                          uint16_t* blend, const PaintRules& r) {
  const __m512i zero = _mm512_setzero_si512();
  const __m512i whole = _mm512_set1_epi32(65536);
  const __m512i full = _mm512_set1_epi32(65535);
  const __m512i one = _mm512_set1_epi32(1);
  const __m512i strength = _mm512_set1_epi32(r.blendStrength);
  const __m512i inverse = _mm512_set1_epi32(r.blendInverse);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i a4 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage + i));
    if (_mm_testz_si128(a4, a4)) continue;
    uint16_t* dp = target + 4 * i;
    uint16_t* qp = blend + 4 * i;
    const __m512i a = SpreadQuad(a4);
    const __m512i d = LoadQuad(dp);
    const __m512i s = LoadQuad(qp);
    const __mmask16 covered = _mm512_test_epi32_mask(a, a);
    const __mmask16 targetClear = _mm512_cmpeq_epi32_mask(Alphas(d), zero);
    const __mmask16 sourceClear = _mm512_cmpeq_epi32_mask(Alphas(s), zero);
    __m512i n = MixProducts(_mm512_sub_epi32(whole, a), d, a, s);
    n = _mm512_mask_blend_epi32(sourceClear & kColourLanes, n, d);
    const __m512i laid = _mm512_srli_epi32(_mm512_mullo_epi32(a, Alphas(s)), 16);
    n = _mm512_mask_blend_epi32(targetClear, n, _mm512_mask_blend_epi32(kAlphaLanes, s, laid));
    n = _mm512_mask_blend_epi32(covered, d, n);
    if constexpr (kRemix) {
      const __m512i seen = _mm512_maskz_mov_epi32(__mmask16(~targetClear), d);
      const __m512i weighted = _mm512_srli_epi32(
          _mm512_add_epi32(_mm512_mullo_epi32(seen, inverse), _mm512_mullo_epi32(strength, s)), 8);
      const __m512i met =
          _mm512_min_epu32(_mm512_mask_add_epi32(weighted, kColourLanes, weighted, one), full);
      __m512i q = _mm512_mask_blend_epi32(targetClear & kColourLanes, met, s);
      q = _mm512_mask_blend_epi32(sourceClear & kColourLanes, q, seen);
      q = _mm512_mask_blend_epi32(covered, s, q);
      StoreQuad(qp, q);
    }
    StoreQuad(dp, n);
  }
  return i;
}

}  // namespace

int32_t CarriedPaintQuadsAvx512(uint16_t* target, const uint32_t* coverage, int32_t count,
                                uint16_t* blend, const PaintRules& rules) {
  return rules.remix ? CarriedPaintQuads<true>(target, coverage, count, blend, rules)
                     : CarriedPaintQuads<false>(target, coverage, count, blend, rules);
}

int32_t CarriedMixQuadsAvx512(const MixRow& row, uint32_t k) {
  const __m512i zero = _mm512_setzero_si512();
  const __m512i one = _mm512_set1_epi32(1);
  const __m512i share = _mm512_set1_epi32(int32_t(k));
  const __m512i keep = _mm512_set1_epi32(int32_t(65536 - k));
  const __m512i limit =
      _mm512_mask_blend_epi32(kAlphaLanes, _mm512_set1_epi32(65280), _mm512_set1_epi32(-1));
  int32_t i = 0;
  for (; i + 4 <= row.count; i += 4) {
    uint16_t* qp = row.blend + 4 * i;
    const __m512i q = LoadQuad(qp);
    const __m512i pa =
        SpreadQuad(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row.canvasAlpha + i)));
    const __m512i p = _mm512_mask_blend_epi32(kAlphaLanes, LoadQuad(row.canvas + 4 * i), pa);
    const __m512i mixed = MixProducts(q, keep, p, share);
    __m512i m = _mm512_min_epu32(_mm512_mask_add_epi32(mixed, kColourLanes, mixed, one), limit);
    m = _mm512_mask_blend_epi32(_mm512_cmpeq_epi32_mask(Alphas(q), zero), m,
                                _mm512_min_epu32(p, limit));
    const __m512i faded = _mm512_mask_srli_epi32(q, kAlphaLanes, _mm512_mullo_epi32(q, keep), 16);
    m = _mm512_mask_blend_epi32(_mm512_cmpeq_epi32_mask(pa, zero), m, faded);
    StoreQuad(qp, m);
  }
  return i;
}

}  // namespace brush
