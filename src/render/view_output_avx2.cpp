// The output stage of a view span on AVX2, four positions at a time: the 16-bit composite as
// FinishViewSpan makes it, then WriteViewPixel's tracing, checkerboard and mask tint in the same
// 32-bit unsigned arithmetic (products wrap the same way), written as blue, green, red bytes.
#include "render/view_span.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "render/pixel_lanes_avx2.h"
#endif

namespace render {

#if defined(__x86_64__) || defined(__i386__)
namespace {

inline __m128i Load4(const int32_t* p) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(p));
}
inline __m128i Splat(uint32_t v) { return _mm_set1_epi32(int32_t(v)); }
inline __m128i Pick(__m128i mask, __m128i yes, __m128i no) {
  return _mm_blendv_epi8(no, yes, mask);
}
inline __m128i Mul(__m128i x, __m128i y) { return _mm_mullo_epi32(x, y); }

// uint32_t(v * scale) of doubles in [0, 1].
inline __m128i Truncated(const double* v, double scale) {
  return _mm256_cvttpd_epi32(_mm256_mul_pd(_mm256_load_pd(v), _mm256_set1_pd(scale)));
}

void OutputSpanAvx2(const ViewSpanState& st, int32_t count, const ViewSpanOutputRow& row,
                    uint8_t* bgr) {
  const ViewOutput& out = *row.out;
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = Splat(65535);
  const __m128i squareRow = Splat(uint32_t(row.cy >> 5));
  const __m128i tintEven[3] = {Splat(out.tintEven[0]), Splat(out.tintEven[1]),
                               Splat(out.tintEven[2])};
  const __m128i tintOdd[3] = {Splat(out.tintOdd[0]), Splat(out.tintOdd[1]), Splat(out.tintOdd[2])};
  // Three bytes of each 32-bit lane, in order.
  const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  for (int32_t j = 0; j < count; j += 4) {
    const __m128i copied = _mm_xor_si128(_mm_cmpeq_epi32(Load4(st.copied + j), zero), Splat(~0u));
    __m128i c[3];
    for (int k = 0; k < 3; ++k)
      c[k] = Pick(copied, Load4(st.copy[k] + j), Truncated(st.c[k] + j, 65280.0));
    const __m128i alpha = Pick(copied, Load4(st.copy[3] + j), Truncated(st.A + j, 65535.0));
    const __m128i cx = Load4(row.cols + j);

    if (row.tracingRow) {
      const lanes::Channels t = lanes::Split(
          _mm256_i32gather_epi64(reinterpret_cast<const long long*>(row.tracingRow), cx, 8));
      for (int k = 0; k < 3; ++k) c[k] = _mm_srli_epi32(_mm_add_epi32(t.c[k], c[k]), 1);
    }
    const __m128i odd = _mm_cmpeq_epi32(
        _mm_and_si128(_mm_add_epi32(_mm_srai_epi32(cx, 5), squareRow), Splat(1)), Splat(1));
    const __m128i seeThrough = _mm_cmplt_epi32(alpha, full);
    if (!_mm_testz_si128(seeThrough, seeThrough)) {
      const __m128i behind =
          _mm_srli_epi32(Mul(Pick(odd, Splat(40959), full), _mm_sub_epi32(full, alpha)), 8);
      for (int k = 0; k < 3; ++k) {
        const __m128i shown =
            _mm_srli_epi32(_mm_add_epi32(_mm_srli_epi32(Mul(alpha, c[k]), 8), behind), 8);
        c[k] = Pick(seeThrough, shown, c[k]);
      }
    }
    __m128i bytes[3];
    for (int k = 0; k < 3; ++k) bytes[k] = _mm_srli_epi32(c[k], 8);
    if (row.maskRow) {
      const __m128i raw =
          _mm_setr_epi32(row.maskRow[row.cols[j]], row.maskRow[row.cols[j + 1]],
                         row.maskRow[row.cols[j + 2]], row.maskRow[row.cols[j + 3]]);
      // The 1:1 path leaves a fully open pixel untinted.
      const __m128i tinted =
          row.skipOpenTint ? _mm_xor_si128(_mm_cmpeq_epi32(raw, full), Splat(~0u)) : Splat(~0u);
      if (!_mm_testz_si128(tinted, tinted)) {
        const __m128i m =
            out.fullStrength ? raw : _mm_add_epi32(_mm_srli_epi32(raw, 1), Splat(32767));
        const __m128i inv = _mm_sub_epi32(full, m);
        for (int k = 0; k < 3; ++k) {
          const __m128i tint = Pick(odd, tintOdd[k], tintEven[k]);
          const __m128i mixed = _mm_srli_epi32(
              _mm_add_epi32(_mm_srli_epi32(Mul(m, c[k]), 8), _mm_srli_epi32(Mul(inv, tint), 8)),
              16);
          bytes[k] = Pick(tinted, mixed, bytes[k]);
        }
      }
    }
    // Blue, green, red: the low byte of each lane.
    const __m128i low = Splat(0xFF);
    const __m128i lanesBgr =
        _mm_or_si128(_mm_and_si128(bytes[2], low),
                     _mm_or_si128(_mm_slli_epi32(_mm_and_si128(bytes[1], low), 8),
                                  _mm_slli_epi32(_mm_and_si128(bytes[0], low), 16)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bgr + 3 * j), _mm_shuffle_epi8(lanesBgr, pack));
  }
}

}  // namespace

constinit const ViewSpanOutputKernel kViewSpanOutputAvx2 = &OutputSpanAvx2;

#else

constinit const ViewSpanOutputKernel kViewSpanOutputAvx2 = nullptr;

#endif

}  // namespace render
