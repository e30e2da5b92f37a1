#include "imaging/warp_sampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/fast_trig.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {
namespace {

// Bilinear weights carry 8 fraction bits on each axis, so a product of two fits 16 bits and a
// whole-pixel position reads its pixel exactly.
constexpr int kFractionBits = 8;
constexpr int kOne = 1 << kFractionBits;
// Positions are limited to a little beyond the frame before they become whole numbers.
constexpr double kMargin = 4.0;
// Footprints up to this size take one sample; larger ones a grid of up to kMaxGrid x kMaxGrid.
constexpr double kOneSampleFootprint = 1.25;
constexpr int kMaxGrid = 4;

inline const uint8_t* Tap(const WarpSource& s, int64_t x, int64_t y) {
  if (x < 0 || y < 0 || x >= int64_t(s.width) || y >= int64_t(s.height)) {
    if (s.outside == WarpSource::kSoftFill) return s.fill;
    x = std::clamp<int64_t>(x, 0, int64_t(s.width) - 1);
    y = std::clamp<int64_t>(y, 0, int64_t(s.height) - 1);
  }
  return s.pixels + size_t(y) * s.rowBytes + size_t(x) * s.bytesPerPixel;
}

// Adds the bilinear sample at (x, y) (pixel-centre coordinates) to sum, scaled by kOne * kOne.
// Bpp is the pixel size when known at compile time, 0 to read it from the source.
template <uint32_t Bpp>
inline void AddBilinear(const WarpSource& s, double x, double y, uint32_t* sum) {
  const uint32_t bpp = Bpp ? Bpp : s.bytesPerPixel;
  const double u = std::clamp(x, -kMargin, s.width + kMargin) - 0.5;
  const double v = std::clamp(y, -kMargin, s.height + kMargin) - 0.5;
  const double fu = FastFloor(u), fv = FastFloor(v);
  const int64_t x0 = int64_t(fu), y0 = int64_t(fv);
  const uint32_t ax = uint32_t((u - fu) * kOne + 0.5), ay = uint32_t((v - fv) * kOne + 0.5);
  const uint32_t w00 = (kOne - ax) * (kOne - ay), w10 = ax * (kOne - ay);
  const uint32_t w01 = (kOne - ax) * ay, w11 = ax * ay;
  const uint8_t *p00, *p10, *p01, *p11;
  // Unsigned, so that negative corners fall outside too.
  if (uint64_t(x0) < uint64_t(s.width) - 1 && uint64_t(y0) < uint64_t(s.height) - 1) {
    p00 = s.pixels + size_t(y0) * s.rowBytes + size_t(x0) * bpp;
    p10 = p00 + bpp, p01 = p00 + s.rowBytes, p11 = p01 + bpp;
  } else {
    p00 = Tap(s, x0, y0), p10 = Tap(s, x0 + 1, y0);
    p01 = Tap(s, x0, y0 + 1), p11 = Tap(s, x0 + 1, y0 + 1);
  }
  for (uint32_t c = 0; c < bpp; ++c)
    sum[c] += p00[c] * w00 + p10[c] * w10 + p01[c] * w01 + p11[c] * w11;
}

// Whether a position reads the fill outright.
inline bool IsHardFilled(const WarpSource& s, double x, double y) {
  return s.outside == WarpSource::kHardFill && !(x >= 0 && y >= 0 && x < s.width && y < s.height);
}

#if defined(__SSE2__)
// One bilinear sample of a 4-byte pixel wholly inside the picture, written to out: the same
// integer result as AddBilinear<4> and the rounding after it, four channels at once. Products
// stay below 2^24, so the vertical step is exact in single precision.
inline void Bilinear4Inside(const WarpSource& s, int64_t x0, int64_t y0, uint32_t ax, uint32_t ay,
                            uint8_t* out) {
  const uint8_t* p = s.pixels + size_t(y0) * s.rowBytes + size_t(x0) * 4;
  const __m128i zero = _mm_setzero_si128();
  const __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
  const __m128i bottom = _mm_unpacklo_epi8(
      _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + s.rowBytes)), zero);
  // Left and right pixel of each channel side by side, weighted by (kOne - ax, ax).
  const __m128i weights = _mm_set1_epi32(int32_t((ax << 16) | (kOne - ax)));
  const __m128i t = _mm_madd_epi16(_mm_unpacklo_epi16(top, _mm_srli_si128(top, 8)), weights);
  const __m128i b = _mm_madd_epi16(_mm_unpacklo_epi16(bottom, _mm_srli_si128(bottom, 8)), weights);
  const __m128 mixed = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(t), _mm_set1_ps(float(kOne - ay))),
                                  _mm_mul_ps(_mm_cvtepi32_ps(b), _mm_set1_ps(float(ay))));
  __m128i v = _mm_srli_epi32(_mm_add_epi32(_mm_cvttps_epi32(mixed), _mm_set1_epi32(kOne * kOne / 2)),
                             2 * kFractionBits);
  v = _mm_packs_epi32(v, zero);
  v = _mm_packus_epi16(v, zero);
  const int32_t packed = _mm_cvtsi128_si32(v);
  std::memcpy(out, &packed, 4);
}
#endif

// How many samples a side a pixel needs: a destination pixel covers |det| source pixels (the
// area of the parallelogram its two steps span), so n x n samples with n * n about that area.
// Steps longer than half the picture are a wrap or a mirror seam, not a shrink.
inline int GridSide(const WarpSource& s, double ax, double ay, double bx, double by) {
  const double area = std::fabs(ax * by - ay * bx);
  if (!(area > kOneSampleFootprint * kOneSampleFootprint)) return 1;
  const double half = 0.5 * std::min(s.width, s.height);
  if (std::max(ax * ax + ay * ay, bx * bx + by * by) > half * half) return 1;
  return std::min(kMaxGrid, int(std::ceil(std::sqrt(area))));
}

void SampleNearestRow(const WarpSource& s, const MappedRow& row, uint32_t count, uint8_t* out) {
  const uint32_t bpp = s.bytesPerPixel;
  for (uint32_t i = 0; i < count; ++i, out += bpp) {
    const double x = std::clamp(row.xs[i], -kMargin, s.width + kMargin);
    const double y = std::clamp(row.ys[i], -kMargin, s.height + kMargin);
    if (!(std::isfinite(x) && std::isfinite(y))) {
      std::memcpy(out, s.outside == WarpSource::kRepeat ? Tap(s, 0, 0) : s.fill, bpp);
      continue;
    }
    const uint8_t* pixel =
        IsHardFilled(s, x, y) ? s.fill : Tap(s, int64_t(FastFloor(x)), int64_t(FastFloor(y)));
    std::memcpy(out, pixel, bpp);
  }
}

template <uint32_t Bpp>
void SampleBilinearRow(const WarpSource& s, const MappedRow& row, uint32_t count, uint8_t* out) {
  const uint32_t bpp = Bpp ? Bpp : s.bytesPerPixel;
  for (uint32_t i = 0; i < count; ++i, out += bpp) {
    const double x = row.xs[i], y = row.ys[i];
    // Positions that are not numbers (a mapping's singular point) read the fill.
    if (!(std::isfinite(x) && std::isfinite(y)) || IsHardFilled(s, x, y)) {
      std::memcpy(out, s.outside == WarpSource::kRepeat ? Tap(s, 0, 0) : s.fill, bpp);
      continue;
    }
    // The footprint: one step along the row and one down.
    const uint32_t j = i + 1 < count ? i + 1 : i;
    const uint32_t k = j == i ? (i > 0 ? i - 1 : i) : i;
    const double ax = row.xs[j] - row.xs[k], ay = row.ys[j] - row.ys[k];
    const double bx = row.xsBelow[i] - x, by = row.ysBelow[i] - y;
    const int n = std::isfinite(ax + ay + bx + by) ? GridSide(s, ax, ay, bx, by) : 1;
    uint32_t sum[4] = {0, 0, 0, 0};
    if (n == 1) {
#if defined(__SSE2__)
      if constexpr (Bpp == 4) {
        const double u = std::clamp(x, -kMargin, s.width + kMargin) - 0.5;
        const double v = std::clamp(y, -kMargin, s.height + kMargin) - 0.5;
        const double fu = FastFloor(u), fv = FastFloor(v);
        const int64_t x0 = int64_t(fu), y0 = int64_t(fv);
        if (uint64_t(x0) < uint64_t(s.width) - 1 && uint64_t(y0) < uint64_t(s.height) - 1) {
          Bilinear4Inside(s, x0, y0, uint32_t((u - fu) * kOne + 0.5),
                          uint32_t((v - fv) * kOne + 0.5), out);
          continue;
        }
      }
#endif
      AddBilinear<Bpp>(s, x, y, sum);
      for (uint32_t c = 0; c < bpp; ++c)
        out[c] = uint8_t((sum[c] + kOne * kOne / 2) >> (2 * kFractionBits));
      continue;
    }
    for (int gy = 0; gy < n; ++gy) {
      const double ty = (gy + 0.5) / n - 0.5;
      for (int gx = 0; gx < n; ++gx) {
        const double tx = (gx + 0.5) / n - 0.5;
        AddBilinear<Bpp>(s, x + tx * ax + ty * bx, y + tx * ay + ty * by, sum);
      }
    }
    const uint32_t total = uint32_t(n * n) << (2 * kFractionBits);
    for (uint32_t c = 0; c < bpp; ++c) out[c] = uint8_t((sum[c] + total / 2) / total);
  }
}

}  // namespace

void SampleMappedRow(const WarpSource& s, const MappedRow& row, uint32_t count, uint32_t quality,
                     uint8_t* out) {
  if (quality == 0)
    SampleNearestRow(s, row, count, out);
  else if (s.bytesPerPixel == 4)
    SampleBilinearRow<4>(s, row, count, out);
  else
    SampleBilinearRow<0>(s, row, count, out);
}

}  // namespace imaging
