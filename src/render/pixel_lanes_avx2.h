// Four RGBA64 pixels turned channel-wise for the AVX2 compositing kernels, and back. Included only
// from files built for AVX2 without contraction into fused multiply-adds.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace render {
namespace lanes {

// Four pixels, channel by channel, as 32-bit integers.
struct Channels {
  __m128i c[3];
  __m128i a;
};

// 16 samples r g b a r g b a ... of four pixels, as loaded, into one register per channel.
inline Channels Split(__m256i v) {
  // In each half: r0 r1 g0 g1 b0 b1 a0 a1; then the halves' pairs side by side.
  const __m256i byChannel = _mm256_shuffle_epi8(
      v, _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15, 0, 1, 8, 9, 2, 3,
                          10, 11, 4, 5, 12, 13, 6, 7, 14, 15));
  const __m256i grouped =
      _mm256_permutevar8x32_epi32(byChannel, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
  const __m256i rg = _mm256_cvtepu16_epi32(_mm256_castsi256_si128(grouped));
  const __m256i ba = _mm256_cvtepu16_epi32(_mm256_extracti128_si256(grouped, 1));
  return {{_mm256_castsi256_si128(rg), _mm256_extracti128_si256(rg, 1), _mm256_castsi256_si128(ba)},
          _mm256_extracti128_si256(ba, 1)};
}

inline Channels Split(const uint16_t* pixels) {
  return Split(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels)));
}

// The reverse of Split; every value is 0..65535.
inline void Join(const Channels& p, uint16_t* pixels) {
  const __m128i rg = _mm_packus_epi32(p.c[0], p.c[1]);
  const __m128i ba = _mm_packus_epi32(p.c[2], p.a);
  const __m128i rb = _mm_unpacklo_epi16(rg, ba);  // r0 b0 r1 b1 ...
  const __m128i ga = _mm_unpackhi_epi16(rg, ba);  // g0 a0 g1 a1 ...
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_unpacklo_epi16(rb, ga));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + 8), _mm_unpackhi_epi16(rb, ga));
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
  return _mm_blendv_epi8(no, yes, mask);
}

// The scalar Clamp01: v > 0 ? v : 0, then low < 1 ? low : 1. maxpd and minpd return their second
// operand when the comparison fails (a NaN included), which is exactly that.
inline __m256d Clamp01(__m256d v) {
  return _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(1.0));
}

}  // namespace lanes
}  // namespace render
