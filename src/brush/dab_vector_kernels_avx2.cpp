// The plain-paint kernel for processors with AVX2: two pixels (eight 32-bit lanes) at a time.
#include <immintrin.h>

#include "brush/dab_vector_kernels.h"

namespace brush {
// Lanes 0..3 hold the first pixel's red, green, blue and alpha, lanes 4..7 the second's. Every
// per-pixel value (coverage, old and new alpha, the quotient scale) is spread over its pixel's
// four lanes; the alpha lane's colour arithmetic is computed and then replaced.
int32_t PlainConstantPairsAvx2(uint16_t* target, const uint32_t* coverage, int32_t count,
                               const uint16_t* source) {
  const __m256i s = _mm256_setr_epi32(source[0], source[1], source[2], source[3], source[0],
                                      source[1], source[2], source[3]);
  const __m256i sa = _mm256_set1_epi32(source[3]);
  const __m256i full = _mm256_set1_epi32(65535);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphaLanes = _mm256_setr_epi32(0, 0, 0, -1, 0, 0, 0, -1);
  const __m256i spread = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
  const __m256i pickAlphas = _mm256_setr_epi32(3, 7, 3, 7, 3, 7, 3, 7);
  const __m256d bias = _mm256_set1_pd(1.0 / 131072);
  const __m128d unit = _mm_set1_pd(65536.0);
  int32_t i = 0;
  for (; i + 2 <= count; i += 2) {
    if ((coverage[i] | coverage[i + 1]) == 0) continue;
    uint16_t* pixels = target + 4 * i;
    const __m256i a = _mm256_permutevar8x32_epi32(
        _mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(coverage + i))),
        spread);
    const __m256i d =
        _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels)));
    const __m256i da = _mm256_shuffle_epi32(d, 0xFF);
    // p = a.sa >> 16, q = 65535 - p, na = ((65535 - da) p >> 16) + da
    const __m256i p = _mm256_srli_epi32(_mm256_mullo_epi32(a, sa), 16);
    const __m256i q = _mm256_sub_epi32(full, p);
    const __m256i na = _mm256_add_epi32(
        _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(full, da), p), 16), da);
    // kept = ((d.da >> 16) q) >> 16, laid = p.s >> 16
    const __m256i kept = _mm256_srli_epi32(
        _mm256_mullo_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(d, da), 16), q), 16);
    const __m256i laid = _mm256_srli_epi32(_mm256_mullo_epi32(p, s), 16);
    const __m256i sum = _mm256_add_epi32(kept, laid);
    // scale = 65536 / na for both pixels with one division.
    const __m128i naPair = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(na, pickAlphas));
    const __m128d scales = _mm_div_pd(unit, _mm_cvtepi32_pd(naPair));
    const __m256d scale0 = _mm256_broadcastsd_pd(scales);
    const __m256d scale1 = _mm256_permute4x64_pd(_mm256_castpd128_pd256(scales), 0x55);
    const __m128i n0 = _mm256_cvttpd_epi32(_mm256_mul_pd(
        _mm256_add_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(sum)), bias), scale0));
    const __m128i n1 = _mm256_cvttpd_epi32(_mm256_mul_pd(
        _mm256_add_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(sum, 1)), bias), scale1));
    __m256i n = _mm256_min_epu32(_mm256_set_m128i(n1, n0), full);
    n = _mm256_blendv_epi8(n, na, alphaLanes);
    // A clear pixel takes the source colour and alpha a.sa >> 16; an uncovered one stays.
    n = _mm256_blendv_epi8(n, _mm256_blendv_epi8(s, p, alphaLanes), _mm256_cmpeq_epi32(da, zero));
    n = _mm256_blendv_epi8(n, d, _mm256_cmpeq_epi32(a, zero));
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(n, n), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm256_castsi256_si128(packed));
  }
  return i;
}

}  // namespace brush
