// Textures laid into the picture: crackle and fingerprint.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <opencv2/core.hpp>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"

namespace imaging {

namespace {

// cos(2 pi t) for any t: t is brought into [-1/2, 1/2] turn and the cosine's series summed to
// the 22nd power, whose remainder there (pi^24 / 24!) is about 1e-12, nested so that each step
// is one multiplication by 1 / (k (k - 1)).
constexpr auto kCosSteps = [] {
  std::array<double, 11> steps{};
  for (int i = 0; i < 11; ++i) steps[i] = 1.0 / ((22.0 - 2 * i) * (21.0 - 2 * i));
  return steps;
}();

inline double CosTurns(double t) {
  const double a = 2 * std::numbers::pi * (t - std::nearbyint(t));
  const double z = a * a;
  double sum = 1.0;
  for (double step : kCosSteps) sum = 1.0 - z * step * sum;
  return sum;
}

#if defined(__SSE2__)
// CosTurns of two numbers at once, step for step the same arithmetic. Adding and taking away
// 1.5 x 2^52 rounds to the nearest whole number, ties to even, as nearbyint does.
inline __m128d CosTurns2(__m128d t) {
  const __m128d magic = _mm_set1_pd(6755399441055744.0);
  const __m128d whole = _mm_sub_pd(_mm_add_pd(t, magic), magic);
  const __m128d a = _mm_mul_pd(_mm_set1_pd(2 * std::numbers::pi), _mm_sub_pd(t, whole));
  const __m128d z = _mm_mul_pd(a, a);
  __m128d sum = _mm_set1_pd(1.0);
  for (double step : kCosSteps)
    sum = _mm_sub_pd(_mm_set1_pd(1.0), _mm_mul_pd(_mm_mul_pd(z, _mm_set1_pd(step)), sum));
  return sum;
}
#endif

// Columns whose shades are worked out together.
constexpr int kShadeChunk = 256;

// ClampByte(value * shade) without branches, for shades that may dip a little below 0: adding
// the half first and then limiting gives the same byte for every value.
// The longest run of columns in one grid square: cells are at most 512 pixels across.
constexpr int kMaxRun = 520;

inline uint8_t ShadedByte(uint8_t value, double shade) {
  return uint8_t(int(std::min(std::max(value * shade + 0.5, 0.0), 255.0)));
}

}  // namespace

int32_t ISE3CrackleRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                       void* dst, uint32_t dstRowBytes, uint32_t cellSize, uint32_t crackWidth,
                       double depth) {
  if (!std::isfinite(depth)) return 0;
  const double cell = std::clamp<uint32_t>(cellSize, 4, 512);
  const double crack = std::min<uint32_t>(crackWidth, 16);
  const double k = std::clamp(depth, 0.0, 1.0);
  // Voronoi cells of one jittered seed per grid square, the seeds worked out once for the grid
  // squares around the picture (one more on each side).
  const int gw = int(std::ceil(width / cell)) + 3, gh = int(std::ceil(height / cell)) + 3;
  std::vector<double> seeds;
  try {
    seeds.resize(size_t(gw) * gh * 2);
  } catch (...) {
    return 0;
  }
  for (int j = 0; j < gh; ++j)
    for (int i = 0; i < gw; ++i) {
      const uint32_t cx = uint32_t(i - 1), cy = uint32_t(j - 1);
      seeds[(size_t(j) * gw + i) * 2] = (i - 1) + 0.15 + 0.7 * HashUnit(cx, cy, 0xC3AC1Eu);
      seeds[(size_t(j) * gw + i) * 2 + 1] = (j - 1) + 0.15 + 0.7 * HashUnit(cx, cy, 0x0C3AC1Eu);
    }
  // Each column's place in grid units and its grid square, worked out once.
  const int w = int(width);
  std::vector<double> across;
  std::vector<int> squares;
  try {
    across.resize(size_t(w));
    squares.resize(size_t(w));
  } catch (...) {
    return 0;
  }
  for (int x = 0; x < w; ++x)
    across[size_t(x)] = x / cell, squares[size_t(x)] = int(std::floor(across[size_t(x)]));
  return EachRGB24Row(
      src, width, height, srcRowBytes, dst, dstRowBytes, [&](int y, const uint8_t* s, uint8_t* d) {
        const double gy = y / cell;
        const int iy = int(std::floor(gy));
        // A run of columns in one grid square meets the same nine seeds, whose
        // vertical distances hold for the whole row.
        for (int x0 = 0; x0 < w;) {
          const int ix = squares[size_t(x0)];
          int x1 = x0 + 1;
          while (x1 < w && squares[size_t(x1)] == ix) ++x1;
          double seedX[9], rise[9];
          for (int oy = -1, j = 0; oy <= 1; ++oy) {
            const double* seed = &seeds[(size_t(iy + oy + 1) * gw + ix) * 2];
            for (int ox = 0; ox < 3; ++ox, ++j) {
              const double py = seed[2 * ox + 1];
              seedX[j] = seed[2 * ox];
              rise[j] = (gy - py) * (gy - py);
            }
          }
          // The squared distances to the nearest seed (f1) and to the second
          // (f2), two columns at a time; (f2 - f1) / 2 of their roots is the
          // distance to the crack between them.
          double shades[kMaxRun];
          int x = x0;
#if defined(__SSE2__)
          for (; x + 1 < x1; x += 2) {
            const __m128d gx = _mm_loadu_pd(&across[size_t(x)]);
            __m128d f1 = _mm_set1_pd(1e30), f2 = f1;
            for (int j = 0; j < 9; ++j) {
              const __m128d dx = _mm_sub_pd(gx, _mm_set1_pd(seedX[j]));
              const __m128d dd = _mm_add_pd(_mm_mul_pd(dx, dx), _mm_set1_pd(rise[j]));
              f2 = _mm_min_pd(f2, _mm_max_pd(f1, dd));
              f1 = _mm_min_pd(f1, dd);
            }
            const __m128d gap = _mm_sub_pd(_mm_sqrt_pd(f2), _mm_sqrt_pd(f1));
            const __m128d edge = _mm_mul_pd(_mm_mul_pd(gap, _mm_set1_pd(0.5)), _mm_set1_pd(cell));
            const __m128d one = _mm_set1_pd(1.0);
            const __m128d inCrack = _mm_min_pd(
                _mm_max_pd(_mm_sub_pd(_mm_set1_pd(crack * 0.5 + 1.0), edge), _mm_setzero_pd()),
                one);
            const __m128d dome = _mm_min_pd(_mm_div_pd(edge, _mm_set1_pd(cell * 0.25)), one);
            const __m128d mix = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(0.85), inCrack),
                                           _mm_mul_pd(_mm_set1_pd(0.18), _mm_sub_pd(one, dome)));
            _mm_storeu_pd(&shades[x - x0], _mm_sub_pd(one, _mm_mul_pd(_mm_set1_pd(k), mix)));
          }
#endif
          for (; x < x1; ++x) {
            const double gx = across[size_t(x)];
            double f1 = 1e30, f2 = 1e30;
            for (int j = 0; j < 9; ++j) {
              const double dd = (gx - seedX[j]) * (gx - seedX[j]) + rise[j];
              f2 = std::min(f2, std::max(f1, dd));
              f1 = std::min(f1, dd);
            }
            const double edge =
                (std::sqrt(f2) - std::sqrt(f1)) * 0.5 * cell;  // pixels to the crack
            // Dark in the crack with a soft rim, a gentle dome inside each cell.
            const double inCrack = std::clamp((crack * 0.5 + 1.0 - edge), 0.0, 1.0);
            const double dome = std::min(1.0, edge / (cell * 0.25));
            shades[x - x0] = 1.0 - k * (0.85 * inCrack + 0.18 * (1.0 - dome));
          }
          for (x = x0; x < x1; ++x, s += 3, d += 3)
            for (int c = 0; c < 3; ++c) d[c] = ShadedByte(s[c], shades[x - x0]);
          x0 = x1;
        }
      });
}

int32_t ISE3Fingerprint(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                        void* dst, uint32_t dstRowBytes, uint32_t ridgeSpacing, double strength) {
  if (!std::isfinite(strength)) return 0;
  const double spacing = std::clamp<uint32_t>(ridgeSpacing, 2, 64);
  const double k = std::clamp(strength, 0.0, 1.0);
  const double cx = width * 0.5, cy = height * 0.55;
  const double size = std::max(1.0, 0.45 * std::min(width, height));
  // A whorl: ellipses about the core, drawn upwards into a loop and bent by a slow wave so that
  // the ridges wander as real ones do. The wave's sines of sums are expanded into sines and
  // cosines of the column's and the row's parts, each worked out once.
  const int w = int(width);
  std::vector<double> across;  // per column, in five runs of w: u, sin 5u, cos 5u, sin 2u, cos 2u
  try {
    across.resize(size_t(w) * 5);
  } catch (...) {
    return 0;
  }
  double* const us = &across[0];
  double* const sin5 = us + w;
  double* const cos5 = sin5 + w;
  double* const sin2 = cos5 + w;
  double* const cos2 = sin2 + w;
  for (int x = 0; x < w; ++x) {
    const double u = (x - cx) / size;
    us[x] = u, sin5[x] = std::sin(5 * u), cos5[x] = std::cos(5 * u), sin2[x] = std::sin(2 * u),
    cos2[x] = std::cos(2 * u);
  }
  const double ridgesPerUnit = size / spacing;
  return EachRGB24Row(
      src, width, height, srcRowBytes, dst, dstRowBytes, [&](int y, const uint8_t* s, uint8_t* d) {
        const double v = (y - cy) / size;
        const double s3 = std::sin(3 * v), c3 = std::cos(3 * v);
        const double s7 = std::sin(7 * v), c7 = std::cos(7 * v);
        // The shade of each pixel: the ridges' cosine, fading out beyond the
        // finger's pad. Worked out in chunks of columns, two at a time where
        // the processor allows, with the very same arithmetic either way.
        for (int x0 = 0; x0 < w; x0 += kShadeChunk) {
          const int x1 = std::min(w, x0 + kShadeChunk);
          double shades[kShadeChunk];
          int x = x0;
#if defined(__SSE2__)
          for (; x + 1 < x1; x += 2) {
            const __m128d u = _mm_loadu_pd(us + x);
            // sin(5u + 3v) and sin(7v - 2u).
            const __m128d wave5 = _mm_add_pd(_mm_mul_pd(_mm_loadu_pd(sin5 + x), _mm_set1_pd(c3)),
                                             _mm_mul_pd(_mm_loadu_pd(cos5 + x), _mm_set1_pd(s3)));
            const __m128d wave7 = _mm_sub_pd(_mm_mul_pd(_mm_set1_pd(s7), _mm_loadu_pd(cos2 + x)),
                                             _mm_mul_pd(_mm_set1_pd(c7), _mm_loadu_pd(sin2 + x)));
            const __m128d bend = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(0.08), wave5),
                                            _mm_mul_pd(_mm_set1_pd(0.05), wave7));
            const __m128d lift =
                _mm_add_pd(_mm_set1_pd(v), _mm_mul_pd(_mm_mul_pd(_mm_set1_pd(0.25), u), u));
            const __m128d r = _mm_add_pd(
                _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(_mm_mul_pd(u, u), _mm_set1_pd(1.3)),
                                       _mm_mul_pd(_mm_mul_pd(lift, lift), _mm_set1_pd(0.8)))),
                bend);
            const __m128d ridge = _mm_add_pd(
                _mm_set1_pd(0.5),
                _mm_mul_pd(_mm_set1_pd(0.5), CosTurns2(_mm_mul_pd(r, _mm_set1_pd(ridgesPerUnit)))));
            const __m128d pad =
                _mm_min_pd(_mm_max_pd(_mm_sub_pd(_mm_set1_pd(1.6), _mm_mul_pd(r, _mm_set1_pd(1.4))),
                                      _mm_setzero_pd()),
                           _mm_set1_pd(1.0));
            const __m128d shade = _mm_sub_pd(
                _mm_set1_pd(1.0), _mm_mul_pd(_mm_mul_pd(_mm_set1_pd(k * 0.8), ridge), pad));
            _mm_storeu_pd(shades + (x - x0), shade);
          }
#endif
          for (; x < x1; ++x) {
            const double u = us[x];
            // sin(5u + 3v) and sin(7v - 2u).
            const double bend =
                0.08 * (sin5[x] * c3 + cos5[x] * s3) + 0.05 * (s7 * cos2[x] - c7 * sin2[x]);
            const double lift = v + 0.25 * u * u;
            const double r = std::sqrt(u * u * 1.3 + lift * lift * 0.8) + bend;
            const double ridge = 0.5 + 0.5 * CosTurns(r * ridgesPerUnit);
            const double pad = std::clamp(1.6 - r * 1.4, 0.0, 1.0);
            shades[x - x0] = 1.0 - k * 0.8 * ridge * pad;
          }
          for (x = x0; x < x1; ++x, s += 3, d += 3)
            for (int c = 0; c < 3; ++c) d[c] = ShadedByte(s[c], shades[x - x0]);
        }
      });
}

}  // namespace imaging
