// The smudge brush's kernels for processors with AVX2: two pixels (eight 32-bit lanes) at a time.
// Lanes 0..3 hold the first pixel's red, green, blue and alpha, lanes 4..7 the second's; every
// per-pixel value is spread over its pixel's four lanes, and the cases the scalar kernels branch
// on are chosen lane by lane.
#include <immintrin.h>

#include "brush/carried_paint_kernels.h"

namespace brush {
namespace {

inline __m256i LoadPair(const uint16_t* pixels) {
  return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels)));
}
inline void StorePair(uint16_t* pixels, __m256i values) {
  const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(values, values), 0x08);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm256_castsi256_si128(packed));
}
inline __m256i SpreadPair(const uint32_t* values) {
  return _mm256_permutevar8x32_epi32(
      _mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(values))),
      _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1));
}
inline __m256i AlphaLanes() { return _mm256_setr_epi32(0, 0, 0, -1, 0, 0, 0, -1); }
inline __m256i ColourOnes() { return _mm256_setr_epi32(1, 1, 1, 0, 1, 1, 1, 0); }
// (x >> 8) + (y >> 8) >> 8 of the products x = a.b and y = c.d, in 32-bit arithmetic as the scalar
// code has it (products wrap the same way).
inline __m256i MixProducts(__m256i a, __m256i b, __m256i c, __m256i d) {
  return _mm256_srli_epi32(_mm256_add_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(a, b), 8),
                                            _mm256_srli_epi32(_mm256_mullo_epi32(c, d), 8)),
                           8);
}

template <bool kRemix>
int32_t CarriedPaintPairs(uint16_t* target, const uint32_t* coverage, int32_t count,
                          uint16_t* blend, const PaintRules& r) {
  const __m256i zero = _mm256_setzero_si256(), alphaLanes = AlphaLanes(), colourOnes = ColourOnes();
  const __m256i whole = _mm256_set1_epi32(65536);
  const __m256i full = _mm256_set1_epi32(65535);
  const __m256i strength = _mm256_set1_epi32(r.blendStrength);
  const __m256i inverse = _mm256_set1_epi32(r.blendInverse);
  int32_t i = 0;
  for (; i + 2 <= count; i += 2) {
    if ((coverage[i] | coverage[i + 1]) == 0) continue;
    uint16_t* dp = target + 4 * i;
    uint16_t* qp = blend + 4 * i;
    const __m256i a = SpreadPair(coverage + i);
    const __m256i d = LoadPair(dp);
    const __m256i s = LoadPair(qp);
    const __m256i uncovered = _mm256_cmpeq_epi32(a, zero);
    const __m256i targetClear = _mm256_cmpeq_epi32(_mm256_shuffle_epi32(d, 0xFF), zero);
    const __m256i sourceClear = _mm256_cmpeq_epi32(_mm256_shuffle_epi32(s, 0xFF), zero);
    // Carried paint spreads linearly by the coverage, colour and alpha alike (the alpha lane gives
    // the new alpha); a clear source leaves the colour.
    __m256i n = MixProducts(_mm256_sub_epi32(whole, a), d, a, s);
    n = _mm256_blendv_epi8(n, d, _mm256_andnot_si256(alphaLanes, sourceClear));
    // A clear target takes the source colour and alpha a.sa >> 16.
    const __m256i laid =
        _mm256_srli_epi32(_mm256_mullo_epi32(a, _mm256_shuffle_epi32(s, 0xFF)), 16);
    n = _mm256_blendv_epi8(n, _mm256_blendv_epi8(s, laid, alphaLanes), targetClear);
    n = _mm256_blendv_epi8(n, d, uncovered);
    if constexpr (kRemix) {
      // The remix sees a clear target's colour as nothing. Colour: the strength-weighted meeting
      // plus 1, limited; the target's colour where the source is clear, the source's where the
      // target is; alpha: the weighted meeting in every case.
      const __m256i seen = _mm256_andnot_si256(targetClear, d);
      const __m256i met = _mm256_min_epu32(
          _mm256_add_epi32(_mm256_srli_epi32(_mm256_add_epi32(_mm256_mullo_epi32(seen, inverse),
                                                              _mm256_mullo_epi32(strength, s)),
                                             8),
                           colourOnes),
          full);
      __m256i q = _mm256_blendv_epi8(met, s, targetClear);
      q = _mm256_blendv_epi8(q, seen, sourceClear);
      q = _mm256_blendv_epi8(q, met, alphaLanes);
      q = _mm256_blendv_epi8(q, s, uncovered);
      StorePair(qp, q);
    }
    StorePair(dp, n);
  }
  return i;
}

}  // namespace

int32_t CarriedPaintPairsAvx2(uint16_t* target, const uint32_t* coverage, int32_t count,
                              uint16_t* blend, const PaintRules& rules) {
  return rules.remix ? CarriedPaintPairs<true>(target, coverage, count, blend, rules)
                     : CarriedPaintPairs<false>(target, coverage, count, blend, rules);
}

int32_t CarriedMixPairsAvx2(const MixRow& row, uint32_t k) {
  const __m256i zero = _mm256_setzero_si256(), alphaLanes = AlphaLanes(), colourOnes = ColourOnes();
  const __m256i share = _mm256_set1_epi32(int32_t(k));
  const __m256i keep = _mm256_set1_epi32(int32_t(65536 - k));
  // Colour is limited to 65280, alpha not at all.
  const __m256i limit = _mm256_setr_epi32(65280, 65280, 65280, -1, 65280, 65280, 65280, -1);
  int32_t i = 0;
  for (; i + 2 <= row.count; i += 2) {
    uint16_t* qp = row.blend + 4 * i;
    const __m256i q = LoadPair(qp);
    const __m256i pa = SpreadPair(row.canvasAlpha + i);
    // The canvas pixel with its (mask-reduced) alpha.
    const __m256i p = _mm256_blendv_epi8(LoadPair(row.canvas + 4 * i), pa, alphaLanes);
    __m256i m =
        _mm256_min_epu32(_mm256_add_epi32(MixProducts(q, keep, p, share), colourOnes), limit);
    // Nothing carried: the canvas is taken.
    m = _mm256_blendv_epi8(m, _mm256_min_epu32(p, limit),
                           _mm256_cmpeq_epi32(_mm256_shuffle_epi32(q, 0xFF), zero));
    // A clear canvas pixel only fades the carried alpha.
    const __m256i faded =
        _mm256_blendv_epi8(q, _mm256_srli_epi32(_mm256_mullo_epi32(q, keep), 16), alphaLanes);
    m = _mm256_blendv_epi8(m, faded, _mm256_cmpeq_epi32(pa, zero));
    StorePair(qp, m);
  }
  return i;
}

}  // namespace brush
