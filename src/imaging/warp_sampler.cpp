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

// The grid offsets of an n x n footprint average, as shares of the footprint's two steps:
// (g + 0.5) / n - 0.5 for g = 0..n-1, row n of the table.
constexpr double kGridOffsets[kMaxGrid + 1][kMaxGrid] = {
    {}, {0}, {-0.25, 0.25}, {-1.0 / 3, 0, 1.0 / 3}, {-0.375, -0.125, 0.125, 0.375}};

// A tap's top-left pixel and 8-bit weights, from a position in pixel-centre coordinates.
struct TapPlace {
  int64_t x0, y0;
  uint32_t ax, ay;
};
inline TapPlace PlaceTap(const WarpSource& s, double x, double y) {
  const double u = std::clamp(x, -kMargin, s.width + kMargin) - 0.5;
  const double v = std::clamp(y, -kMargin, s.height + kMargin) - 0.5;
  const double fu = FastFloor(u), fv = FastFloor(v);
  return {int64_t(fu), int64_t(fv), uint32_t((u - fu) * kOne + 0.5),
          uint32_t((v - fv) * kOne + 0.5)};
}
// Whether all four pixels of a tap lie inside the picture. Unsigned, so that negative corners
// fall outside too.
inline bool TapInside(const WarpSource& s, const TapPlace& t) {
  return uint64_t(t.x0) < uint64_t(s.width) - 1 && uint64_t(t.y0) < uint64_t(s.height) - 1;
}

#if defined(__SSE2__)
// The bilinear sum of a 4-byte pixel wholly inside the picture, four channels scaled by
// kOne * kOne: the same integers as AddBilinear<4>. Products stay below 2^24, so the vertical
// step is exact in single precision.
inline __m128i Bilinear4Sum(const WarpSource& s, const TapPlace& t) {
  const uint8_t* p = s.pixels + size_t(t.y0) * s.rowBytes + size_t(t.x0) * 4;
  const __m128i zero = _mm_setzero_si128();
  const __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
  const __m128i bottom =
      _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + s.rowBytes)), zero);
  // Left and right pixel of each channel side by side, weighted by (kOne - ax, ax).
  const __m128i weights = _mm_set1_epi32(int32_t((t.ax << 16) | (kOne - t.ax)));
  const __m128i a = _mm_madd_epi16(_mm_unpacklo_epi16(top, _mm_srli_si128(top, 8)), weights);
  const __m128i b = _mm_madd_epi16(_mm_unpacklo_epi16(bottom, _mm_srli_si128(bottom, 8)), weights);
  const __m128 mixed = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(a), _mm_set1_ps(float(kOne - t.ay))),
                                  _mm_mul_ps(_mm_cvtepi32_ps(b), _mm_set1_ps(float(t.ay))));
  return _mm_cvttps_epi32(mixed);
}

// Four 32-bit sums, each rounded and shifted down by shift bits, packed to bytes at out.
inline void StoreShifted4(__m128i sums, int shift, uint8_t* out) {
  const __m128i zero = _mm_setzero_si128();
  __m128i v = _mm_add_epi32(sums, _mm_set1_epi32(1 << (shift - 1)));
  v = _mm_srl_epi32(v, _mm_cvtsi32_si128(shift));
  v = _mm_packus_epi16(_mm_packs_epi32(v, zero), zero);
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

// Whether a soft-filled footprint of half extents (ex, ey) about (x, y) lies wholly beyond the
// picture, so that every tap would read the fill alone.
inline bool FootprintBeyond(const WarpSource& s, double x, double y, double ex, double ey) {
  return x + ex < -0.5 || y + ey < -0.5 || x - ex >= s.width + 0.5 || y - ey >= s.height + 0.5;
}

// Pixel i of a row (of count) at out, interpolated and averaged over its footprint.
template <uint32_t Bpp>
inline void SampleBilinearPixel(const WarpSource& s, const MappedRow& row, uint32_t count,
                                uint32_t i, const uint8_t* outsideColour, uint8_t* out) {
  const uint32_t bpp = Bpp ? Bpp : s.bytesPerPixel;
  {
    const double x = row.xs[i], y = row.ys[i];
    // Positions that are not numbers (a mapping's singular point) read the fill.
    if (!(std::isfinite(x) && std::isfinite(y)) || IsHardFilled(s, x, y)) {
      std::memcpy(out, outsideColour, bpp);
      return;
    }
    // The footprint: one step along the row and one down.
    const uint32_t j = i + 1 < count ? i + 1 : i;
    const uint32_t k = j == i ? (i > 0 ? i - 1 : i) : i;
    const double ax = row.xs[j] - row.xs[k], ay = row.ys[j] - row.ys[k];
    const double bx = row.xsBelow[i] - x, by = row.ysBelow[i] - y;
    const int n = std::isfinite(ax + ay + bx + by) ? GridSide(s, ax, ay, bx, by) : 1;
    if (n == 1) {
      const TapPlace t = PlaceTap(s, x, y);
#if defined(__SSE2__)
      if constexpr (Bpp == 4) {
        if (TapInside(s, t)) {
          StoreShifted4(Bilinear4Sum(s, t), 2 * kFractionBits, out);
          return;
        }
      }
#endif
      uint32_t sum[4] = {0, 0, 0, 0};
      AddBilinear<Bpp>(s, x, y, sum);
      for (uint32_t c = 0; c < bpp; ++c)
        out[c] = uint8_t((sum[c] + kOne * kOne / 2) >> (2 * kFractionBits));
      return;
    }
    if (s.outside == WarpSource::kSoftFill &&
        FootprintBeyond(s, x, y, 0.5 * (std::fabs(ax) + std::fabs(bx)),
                        0.5 * (std::fabs(ay) + std::fabs(by)))) {
      std::memcpy(out, s.fill, bpp);
      return;
    }
    const double* offsets = kGridOffsets[n];
    uint32_t sum[4] = {0, 0, 0, 0};
#if defined(__SSE2__)
    __m128i inside = _mm_setzero_si128();
#endif
    for (int gy = 0; gy < n; ++gy) {
      const double ty = offsets[gy];
      const double rowX = x + ty * bx, rowY = y + ty * by;
      for (int gx = 0; gx < n; ++gx) {
        const double tx = offsets[gx];
        const double px = rowX + tx * ax, py = rowY + tx * ay;
#if defined(__SSE2__)
        if constexpr (Bpp == 4) {
          const TapPlace t = PlaceTap(s, px, py);
          if (TapInside(s, t)) {
            inside = _mm_add_epi32(inside, Bilinear4Sum(s, t));
            continue;
          }
        }
#endif
        AddBilinear<Bpp>(s, px, py, sum);
      }
    }
#if defined(__SSE2__)
    if constexpr (Bpp == 4) {
      alignas(16) uint32_t lanes[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(lanes), inside);
      for (uint32_t c = 0; c < 4; ++c) sum[c] += lanes[c];
    }
#endif
    const uint32_t total = uint32_t(n * n) << (2 * kFractionBits);
    for (uint32_t c = 0; c < bpp; ++c) out[c] = uint8_t((sum[c] + total / 2) / total);
  }
}

template <uint32_t Bpp>
void SampleBilinearRow(const WarpSource& s, const MappedRow& row, uint32_t count, uint8_t* out) {
  const uint32_t bpp = Bpp ? Bpp : s.bytesPerPixel;
  const uint8_t* outsideColour = s.outside == WarpSource::kRepeat ? Tap(s, 0, 0) : s.fill;
  for (uint32_t i = 0; i < count; ++i)
    SampleBilinearPixel<Bpp>(s, row, count, i, outsideColour, out + size_t{i} * bpp);
}

#if defined(__SSE2__)
// Pixels a chunk of the packed row path places at once.
constexpr uint32_t kChunk = 64;

// Four-byte pixels, a chunk at a time: a first pass works out, two pixels at once, which pixels
// take one bilinear tap (a finite position whose footprint does not shrink) and where; a second
// reads those taps that lie wholly inside and hands every other pixel to the general path. Both
// passes give the general path's integers.
void SampleBilinearRow4(const WarpSource& s, const MappedRow& row, uint32_t count, uint8_t* out) {
  const uint8_t* outsideColour = s.outside == WarpSource::kRepeat ? Tap(s, 0, 0) : s.fill;
  alignas(16) int32_t x0[kChunk], y0[kChunk], ax[kChunk], ay[kChunk];
  alignas(16) int64_t single[kChunk / 2][2];
  const __m128d low = _mm_set1_pd(-kMargin), highX = _mm_set1_pd(s.width + kMargin),
                highY = _mm_set1_pd(s.height + kMargin), half = _mm_set1_pd(0.5),
                one = _mm_set1_pd(kOne),
                limit = _mm_set1_pd(kOneSampleFootprint * kOneSampleFootprint),
                signless = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffff)),
                zero = _mm_setzero_pd();
  // floor of values in -kMargin - 0.5 .. 2^31: truncation, one less where it rounded up.
  auto floorPd = [&](__m128d v, __m128i* whole) {
    const __m128i t = _mm_cvttpd_epi32(v);
    const __m128d back = _mm_cvtepi32_pd(t);
    const __m128d up = _mm_cmpgt_pd(back, v);
    const __m128d f = _mm_sub_pd(back, _mm_and_pd(up, _mm_set1_pd(1.0)));
    *whole = _mm_cvttpd_epi32(f);
    return f;
  };
  for (uint32_t base = 0; base < count; base += kChunk) {
    const uint32_t m = std::min(kChunk, count - base);
    // Pairs whose right-hand neighbour exists take the packed first pass; the rest go general.
    uint32_t i = 0;
    for (; i + 2 <= m && base + i + 2 < count; i += 2) {
      const uint32_t at = base + i;
      const __m128d x = _mm_loadu_pd(row.xs + at), y = _mm_loadu_pd(row.ys + at);
      const __m128d stepX = _mm_sub_pd(_mm_loadu_pd(row.xs + at + 1), x);
      const __m128d stepY = _mm_sub_pd(_mm_loadu_pd(row.ys + at + 1), y);
      const __m128d downX = _mm_sub_pd(_mm_loadu_pd(row.xsBelow + at), x);
      const __m128d downY = _mm_sub_pd(_mm_loadu_pd(row.ysBelow + at), y);
      const __m128d area =
          _mm_and_pd(_mm_sub_pd(_mm_mul_pd(stepX, downY), _mm_mul_pd(stepY, downX)), signless);
      // Everything finite (x - x is 0 only for finite x) and the footprint no larger than one.
      const __m128d all = _mm_add_pd(_mm_add_pd(_mm_add_pd(x, y), _mm_add_pd(stepX, stepY)),
                                     _mm_add_pd(downX, downY));
      const __m128d ok =
          _mm_and_pd(_mm_cmpeq_pd(_mm_sub_pd(all, all), zero), _mm_cmple_pd(area, limit));
      _mm_store_si128(reinterpret_cast<__m128i*>(single[i / 2]), _mm_castpd_si128(ok));
      // Out-of-range values are clamped away; lanes that are not numbers are never read.
      const __m128d u = _mm_sub_pd(_mm_min_pd(_mm_max_pd(_mm_and_pd(x, ok), low), highX), half);
      const __m128d v = _mm_sub_pd(_mm_min_pd(_mm_max_pd(_mm_and_pd(y, ok), low), highY), half);
      __m128i wx, wy;
      const __m128d fu = floorPd(u, &wx), fv = floorPd(v, &wy);
      const __m128i fx = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(_mm_sub_pd(u, fu), one), half));
      const __m128i fy = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(_mm_sub_pd(v, fv), one), half));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(x0 + i), wx);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(y0 + i), wy);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(ax + i), fx);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(ay + i), fy);
    }
    const uint32_t placed = i;
    for (i = 0; i < m; ++i) {
      uint8_t* px = out + size_t{base + i} * 4;
      if (i < placed && single[i / 2][i % 2] && uint32_t(x0[i]) < s.width - 1 &&
          uint32_t(y0[i]) < s.height - 1) {
        const TapPlace t{x0[i], y0[i], uint32_t(ax[i]), uint32_t(ay[i])};
        StoreShifted4(Bilinear4Sum(s, t), 2 * kFractionBits, px);
      } else {
        SampleBilinearPixel<4>(s, row, count, base + i, outsideColour, px);
      }
    }
  }
}
#endif

}  // namespace

void SampleMappedRow(const WarpSource& s, const MappedRow& row, uint32_t count, uint32_t quality,
                     uint8_t* out) {
  if (quality == 0)
    SampleNearestRow(s, row, count, out);
  else if (s.bytesPerPixel == 4)
#if defined(__SSE2__)
    SampleBilinearRow4(s, row, count, out);
#else
    SampleBilinearRow<4>(s, row, count, out);
#endif
  else
    SampleBilinearRow<0>(s, row, count, out);
}

}  // namespace imaging
