// Textures laid into the picture: crackle and fingerprint.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <opencv2/core.hpp>
#include <vector>

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"

namespace imaging {

namespace {

// cos(2 pi t) for any t: t is brought into [-1/2, 1/2] turn and the cosine's series summed to
// the 22nd power, whose remainder there (pi^24 / 24!) is about 1e-12, nested so that each step
// is one multiplication by 1 / (k (k - 1)).
inline double CosTurns(double t) {
  static constexpr auto kSteps = [] {
    std::array<double, 11> steps{};
    for (int i = 0; i < 11; ++i) steps[i] = 1.0 / ((22.0 - 2 * i) * (21.0 - 2 * i));
    return steps;
  }();
  const double a = 2 * std::numbers::pi * (t - std::nearbyint(t));
  const double z = a * a;
  double sum = 1.0;
  for (double step : kSteps) sum = 1.0 - z * step * sum;
  return sum;
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
  const int w = int(width);
  return EachRGB24Row(src, width, height, srcRowBytes, dst, dstRowBytes,
                      [&](int y, const uint8_t* s, uint8_t* d) {
                        const double gy = y / cell;
                        const int iy = int(std::floor(gy));
                        for (int x = 0; x < w; ++x, s += 3, d += 3) {
                          // The distance to the nearest seed (f1) and to the second (f2);
                          // (f2 - f1) / 2 is the distance to the crack between them.
                          const double gx = x / cell;
                          const int ix = int(std::floor(gx));
                          double f1 = 1e30, f2 = 1e30;
                          for (int oy = -1; oy <= 1; ++oy) {
                            const double* seed = &seeds[(size_t(iy + oy + 1) * gw + ix) * 2];
                            for (int ox = 0; ox < 3; ++ox) {
                              const double px = seed[2 * ox], py = seed[2 * ox + 1];
                              // Squared distances: the root is taken once, for the two nearest.
                              const double dd = (gx - px) * (gx - px) + (gy - py) * (gy - py);
                              if (dd < f1) f2 = f1, f1 = dd;
                              else if (dd < f2) f2 = dd;
                            }
                          }
                          const double edge = (std::sqrt(f2) - std::sqrt(f1)) * 0.5 * cell;  // pixels to the crack
                          // Dark in the crack with a soft rim, a gentle dome inside each cell.
                          const double inCrack = std::clamp((crack * 0.5 + 1.0 - edge), 0.0, 1.0);
                          const double dome = std::min(1.0, edge / (cell * 0.25));
                          const double shade = 1.0 - k * (0.85 * inCrack + 0.18 * (1.0 - dome));
                          for (int c = 0; c < 3; ++c) d[c] = ClampByte(s[c] * shade);
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
  std::vector<double> across;  // per column: u, sin 5u, cos 5u, sin 2u, cos 2u
  try {
    across.resize(size_t(w) * 5);
  } catch (...) {
    return 0;
  }
  for (int x = 0; x < w; ++x) {
    const double u = (x - cx) / size;
    double* a = &across[size_t(x) * 5];
    a[0] = u, a[1] = std::sin(5 * u), a[2] = std::cos(5 * u), a[3] = std::sin(2 * u), a[4] = std::cos(2 * u);
  }
  const double ridgesPerUnit = size / spacing;
  return EachRGB24Row(src, width, height, srcRowBytes, dst, dstRowBytes,
                      [&](int y, const uint8_t* s, uint8_t* d) {
                        const double v = (y - cy) / size;
                        const double s3 = std::sin(3 * v), c3 = std::cos(3 * v);
                        const double s7 = std::sin(7 * v), c7 = std::cos(7 * v);
                        for (int x = 0; x < w; ++x, s += 3, d += 3) {
                          const double* a = &across[size_t(x) * 5];
                          const double u = a[0];
                          // sin(5u + 3v) and sin(7v - 2u).
                          const double bend = 0.08 * (a[1] * c3 + a[2] * s3) + 0.05 * (s7 * a[4] - c7 * a[3]);
                          const double lift = v + 0.25 * u * u;
                          const double r = std::sqrt(u * u * 1.3 + lift * lift * 0.8) + bend;
                          const double ridge = 0.5 + 0.5 * CosTurns(r * ridgesPerUnit);
                          // The print fades out beyond the finger's pad.
                          const double pad = std::clamp(1.6 - r * 1.4, 0.0, 1.0);
                          const double shade = 1.0 - k * 0.8 * ridge * pad;
                          for (int c = 0; c < 3; ++c) d[c] = ClampByte(s[c] * shade);
                        }
                      });
}

}  // namespace imaging
