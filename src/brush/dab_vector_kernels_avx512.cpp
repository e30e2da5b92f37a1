// The plain-paint kernel for processors with AVX-512: four pixels (sixteen 32-bit lanes) at a time,
// the same arithmetic as the AVX2 kernel.
#include <immintrin.h>

// GCC 12 warns about the deliberately undefined vectors inside its own AVX-512 intrinsics.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "brush/dab_vector_kernels.h"

namespace brush {

int32_t PlainConstantQuadsAvx512(uint16_t* target, const uint32_t* coverage, int32_t count,
                                 const uint16_t* source) {
  const __m512i s =
      _mm512_broadcast_i32x4(_mm_setr_epi32(source[0], source[1], source[2], source[3]));
  const __m512i sa = _mm512_set1_epi32(source[3]);
  const __m512i full = _mm512_set1_epi32(65535);
  const __m512i zero = _mm512_setzero_si512();
  constexpr __mmask16 kAlphaLanes = 0x8888;
  const __m512i spread = _mm512_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3);
  const __m512i pickAlphas =
      _mm512_setr_epi32(3, 7, 11, 15, 3, 7, 11, 15, 3, 7, 11, 15, 3, 7, 11, 15);
  const __m512i spreadLow = _mm512_setr_epi64(0, 0, 0, 0, 1, 1, 1, 1);
  const __m512i spreadHigh = _mm512_setr_epi64(2, 2, 2, 2, 3, 3, 3, 3);
  const __m512d bias = _mm512_set1_pd(1.0 / 131072);
  const __m256d unit = _mm256_set1_pd(65536.0);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i a4 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage + i));
    if (_mm_testz_si128(a4, a4)) continue;
    uint16_t* pixels = target + 4 * i;
    const __m512i a = _mm512_permutexvar_epi32(spread, _mm512_castsi128_si512(a4));
    const __m512i d =
        _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels)));
    const __m512i da = _mm512_shuffle_epi32(d, _MM_PERM_DDDD);
    const __m512i p = _mm512_srli_epi32(_mm512_mullo_epi32(a, sa), 16);
    const __m512i q = _mm512_sub_epi32(full, p);
    const __m512i na = _mm512_add_epi32(
        _mm512_srli_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(full, da), p), 16), da);
    const __m512i kept = _mm512_srli_epi32(
        _mm512_mullo_epi32(_mm512_srli_epi32(_mm512_mullo_epi32(d, da), 16), q), 16);
    const __m512i laid = _mm512_srli_epi32(_mm512_mullo_epi32(p, s), 16);
    const __m512i sum = _mm512_add_epi32(kept, laid);
    const __m128i naQuad = _mm512_castsi512_si128(_mm512_permutexvar_epi32(pickAlphas, na));
    const __m512d scales = _mm512_castpd256_pd512(_mm256_div_pd(unit, _mm256_cvtepi32_pd(naQuad)));
    const __m512d scaleLow = _mm512_permutexvar_pd(spreadLow, scales);
    const __m512d scaleHigh = _mm512_permutexvar_pd(spreadHigh, scales);
    const __m256i nLow = _mm512_cvttpd_epi32(_mm512_mul_pd(
        _mm512_add_pd(_mm512_cvtepi32_pd(_mm512_castsi512_si256(sum)), bias), scaleLow));
    const __m256i nHigh = _mm512_cvttpd_epi32(_mm512_mul_pd(
        _mm512_add_pd(_mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(sum, 1)), bias), scaleHigh));
    __m512i n = _mm512_inserti64x4(_mm512_castsi256_si512(nLow), nHigh, 1);
    n = _mm512_mask_mov_epi32(n, kAlphaLanes, na);
    // A clear pixel takes the source colour and alpha a.sa >> 16; an uncovered one stays.
    n = _mm512_mask_mov_epi32(n, _mm512_cmpeq_epi32_mask(da, zero),
                              _mm512_mask_mov_epi32(s, kAlphaLanes, p));
    n = _mm512_mask_mov_epi32(n, _mm512_cmpeq_epi32_mask(a, zero), d);
    // Unsigned saturation to 16 bits is the limit at 65535.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels), _mm512_cvtusepi32_epi16(n));
  }
  return i;
}

}  // namespace brush
