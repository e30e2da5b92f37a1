// The library filters whose fast forms rearrange the arithmetic, each against a plain model of
// what it draws: sums taken pixel by pixel, trigonometry from the standard library, blurs at full
// resolution. Pictures are tall enough that the rows run in several bands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <opencv2/imgproc.hpp>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "imaging/artistic_filters.h"
#include "imaging/directional_blurs.h"
#include "imaging/filter_frame.h"
#include "imaging/gaussian_blur.h"
#include "imaging/neighbourhood_filters.h"
#include "imaging/noise_filters.h"

namespace {

using Picture = std::vector<uint8_t>;

// Soft waves with some grain: detail at every scale, but nothing a bilinear sample misreads.
Picture WavyPicture(int w, int h, int n, uint32_t seed) {
  std::mt19937 rng(seed);
  Picture p(size_t(w) * h * n);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < n; ++c) {
        const double v = 128 + 70 * std::sin(x * (0.11 + 0.03 * c) + y * 0.07) +
                         40 * std::cos(y * 0.13 - x * 0.05 * c) + int(rng() % 9) - 4;
        p[(size_t(y) * w + x) * n + c] = uint8_t(std::clamp(v, 0.0, 255.0));
      }
  return p;
}

// Bilinear sample of channel c at (px, py), the border repeated.
double Bilinear(const Picture& p, int w, int h, int n, double px, double py, int c) {
  px = std::clamp(px, 0.0, w - 1.0), py = std::clamp(py, 0.0, h - 1.0);
  const int x0 = int(px), y0 = int(py);
  const int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
  const double ax = px - x0, ay = py - y0;
  auto at = [&](int x, int y) { return double(p[(size_t(y) * w + x) * n + c]); };
  const double top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * ax;
  const double bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * ax;
  return top + (bottom - top) * ay;
}

struct Difference {
  double mean = 0, largest = 0;
};
Difference Compare(const Picture& got, const std::vector<double>& want) {
  Difference d;
  for (size_t i = 0; i < got.size(); ++i) {
    const double e = std::abs(got[i] - want[i]);
    d.mean += e / got.size();
    d.largest = std::max(d.largest, e);
  }
  return d;
}

// Spin and zoom against the continuous average along each pixel's path (many bilinear samples
// spread evenly over the arc, or over the ray towards the centre): a turn the wrong way, a
// centre out of place or a path of the wrong length shows at once in the mean difference.
TEST(DirectionalBlurModels, SpinAndZoomFollowTheAverageAlongThePath) {
  const int w = 72, h = 90, n = 3;
  const Picture src = WavyPicture(w, h, n, 5);
  struct Case {
    const char* name;
    std::function<int32_t(const Picture&, Picture&)> run;
    // Position of sample t (0..1) of pixel (x, y)'s path.
    std::function<void(int, int, double, double*, double*)> path;
  };
  const double spin = 20 * std::numbers::pi / 180, cx = 30, cy = 50;
  const Case cases[] = {
      {"spin",
       [&](const Picture& s, Picture& d) {
         return imaging::is5_RadialBlur(s.data(), w, h, n, w * n, d.data(), w * n, 20, cx, cy);
       },
       [&](int x, int y, double t, double* px, double* py) {
         const double a = (t - 0.5) * spin, c = std::cos(a), s = std::sin(a);
         *px = cx + (x - cx) * c - (y - cy) * s;
         *py = cy + (x - cx) * s + (y - cy) * c;
       }},
      {"zoom",
       [&](const Picture& s, Picture& d) {
         return imaging::is5_ZoomBlur(s.data(), w, h, n, w * n, d.data(), w * n, 0.25, cx, cy);
       },
       [&](int x, int y, double t, double* px, double* py) {
         *px = x + (cx - x) * 0.25 * t;
         *py = y + (cy - y) * 0.25 * t;
       }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Picture out(src.size());
    ASSERT_EQ(k.run(src, out), 1);
    std::vector<double> want(src.size());
    const int samples = 400;
    double largestInside = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        // Paths that leave the picture, or come within a few pixels of its edge, meet the
        // repeated border in another order (each pass repeats its own border), so those pixels
        // count in the mean only.
        bool inside = true;
        for (int c = 0; c < n; ++c) {
          double sum = 0;
          for (int i = 0; i < samples; ++i) {
            double px, py;
            k.path(x, y, (i + 0.5) / samples, &px, &py);
            inside = inside && px >= 3 && py >= 3 && px <= w - 4 && py <= h - 4;
            sum += Bilinear(src, w, h, n, px, py, c);
          }
          const size_t at = (size_t(y) * w + x) * n + c;
          want[at] = sum / samples;
          if (inside) largestInside = std::max(largestInside, std::abs(out[at] - want[at]));
        }
      }
    const Difference d = Compare(out, want);
    EXPECT_LT(d.mean, 2.0);
    EXPECT_LT(largestInside, 12.0);
    // The blur did blur: the picture moved much further from its input than from the model.
    EXPECT_GT(Compare(src, want).mean, 2.5 * d.mean);
  }
}

// Wide Gaussians run on a shrunk picture: against OpenCV's full kernel in doubles they may
// differ by little; a half-pixel shift or a wrong sigma would not pass.
TEST(DirectionalBlurModels, WideGaussianStaysCloseToTheFullKernel) {
  const int w = 150, h = 110, n = 4;
  Picture src = WavyPicture(w, h, n, 9);
  for (int y = 40; y < 70; ++y)
    for (int x = 60; x < 95; ++x) src[(size_t(y) * w + x) * n + 1] = 250;  // a sharp square
  // Sigma, then the mean and largest differences allowed; the widest blur reaches across most of
  // this small picture, where the border repeated at the shrunk size weighs most.
  const double cases[][3] = {{8.0, 0.8, 7}, {13.5, 0.8, 10}, {30.0, 2.0, 16}};
  for (const auto& [sigma, mean, largest] : cases) {
    SCOPED_TRACE(sigma);
    Picture out(src.size());
    ASSERT_EQ(
        imaging::is5_GaussianBlurImage(src.data(), w, h, n, w * n, out.data(), w * n, sigma, 15),
        1);
    cv::Mat in(h, w, CV_8UC4, src.data()), exact;
    in.convertTo(exact, CV_64FC4);
    cv::GaussianBlur(exact, exact, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
    const cv::Mat samples = exact.reshape(1, 1);
    const std::vector<double> want(samples.begin<double>(), samples.end<double>());
    const Difference d = Compare(out, want);
    EXPECT_LT(d.mean, mean);
    EXPECT_LT(d.largest, largest);
  }
}

// Fingerprint against its ridges written out with the library's sine and cosine.
TEST(TextureModels, FingerprintMatchesItsFormula) {
  const int w = 517, h = 131;
  const Picture src = WavyPicture(w, h, 3, 2);
  Picture out(src.size());
  const uint32_t spacing = 6;
  const double strength = 0.7;
  ASSERT_EQ(imaging::ISE3Fingerprint(src.data(), w, h, w * 3, out.data(), w * 3, spacing, strength),
            1);
  const double cx = w * 0.5, cy = h * 0.55, size = 0.45 * std::min(w, h);
  int off = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double u = (x - cx) / size, v = (y - cy) / size;
      const double bend = 0.08 * std::sin(u * 5 + v * 3) + 0.05 * std::sin(v * 7 - u * 2);
      const double r = std::sqrt(1.3 * u * u + 0.8 * std::pow(v + 0.25 * u * u, 2)) + bend;
      const double ridge = 0.5 + 0.5 * std::cos(2 * std::numbers::pi * r * size / spacing);
      const double shade = 1 - strength * 0.8 * ridge * std::clamp(1.6 - 1.4 * r, 0.0, 1.0);
      for (int c = 0; c < 3; ++c) {
        const size_t i = (size_t(y) * w + x) * 3 + c;
        const double want = src[i] * shade;
        ASSERT_LE(std::abs(out[i] - want), 0.5 + 1e-6) << x << "," << y;
        off += out[i] != int(std::lround(want));
      }
    }
  EXPECT_LT(off, 5);  // rounding ties aside, the very same bytes
  // In place (the picture its own destination) the same.
  Picture same = src;
  ASSERT_EQ(
      imaging::ISE3Fingerprint(same.data(), w, h, w * 3, same.data(), w * 3, spacing, strength), 1);
  EXPECT_EQ(same, out);
}

// Crackle against the two nearest of the jittered seeds, one in each grid square, searched
// pixel by pixel over the nine squares around it: the very same bytes.
TEST(TextureModels, CrackleFollowsTheNearestSeeds) {
  const int w = 211, h = 97;
  const Picture src = WavyPicture(w, h, 3, 8);
  auto seedOf = [](int i, int j, double* sx, double* sy) {
    *sx = i + 0.15 + 0.7 * imaging::HashUnit(uint32_t(i), uint32_t(j), 0xC3AC1Eu);
    *sy = j + 0.15 + 0.7 * imaging::HashUnit(uint32_t(i), uint32_t(j), 0x0C3AC1Eu);
  };
  for (const auto& [cellSize, crackWidth, depth] :
       {std::tuple{20u, 2u, 0.7}, {7u, 0u, 1.0}, {64u, 9u, 0.4}}) {
    SCOPED_TRACE(cellSize);
    Picture out(src.size());
    ASSERT_EQ(imaging::ISE3CrackleRGB(src.data(), w, h, w * 3, out.data(), w * 3, cellSize,
                                      crackWidth, depth),
              1);
    const double cell = cellSize, crack = crackWidth;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const double gx = x / cell, gy = y / cell;
        std::vector<double> dd;
        for (int j = int(std::floor(gy)) - 1; j <= int(std::floor(gy)) + 1; ++j)
          for (int i = int(std::floor(gx)) - 1; i <= int(std::floor(gx)) + 1; ++i) {
            double sx, sy;
            seedOf(i, j, &sx, &sy);
            dd.push_back((gx - sx) * (gx - sx) + (gy - sy) * (gy - sy));
          }
        std::sort(dd.begin(), dd.end());
        const double edge = (std::sqrt(dd[1]) - std::sqrt(dd[0])) * 0.5 * cell;
        const double inCrack = std::clamp(crack * 0.5 + 1.0 - edge, 0.0, 1.0);
        const double dome = std::min(1.0, edge / (cell * 0.25));
        const double shade = 1.0 - depth * (0.85 * inCrack + 0.18 * (1.0 - dome));
        for (int c = 0; c < 3; ++c) {
          const size_t i = (size_t(y) * w + x) * 3 + c;
          ASSERT_EQ(out[i], imaging::ClampByte(src[i] * shade)) << x << "," << y;
        }
      }
  }
}

// Stipple against its dot rule written pixel by pixel: the cell's dot is drawn when the cell's
// random number falls below darkness^1.3 times the ink at the cell's centre, and it is round once
// cells are wider than two pixels. Every dot size and both inks, into another picture and in
// place.
TEST(ScreenModels, StippleFollowsItsDotRule) {
  const int w = 101, h = 83;
  const Picture src = WavyPicture(w, h, 3, 6);
  for (int dotSize = 0; dotSize <= 7; ++dotSize)
    for (int black : {0, 1}) {
      SCOPED_TRACE(std::to_string(dotSize) + (black ? " black" : " colour"));
      const uint32_t density = 70;
      Picture out(src.size());
      ASSERT_EQ(
          imaging::ISE3Stipple(src.data(), w, h, w * 3, out.data(), w * 3, density, black, dotSize),
          1);
      Picture same = src;
      ASSERT_EQ(imaging::ISE3Stipple(same.data(), w, h, w * 3, same.data(), w * 3, density, black,
                                     dotSize),
                1);
      EXPECT_EQ(same, out);
      const int cell = dotSize + 1;
      const double radius = cell / 2.0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const int cx = x / cell, cy = y / cell;
          const int sx = std::min(cx * cell + cell / 2, w - 1),
                    sy = std::min(cy * cell + cell / 2, h - 1);
          const uint8_t* centre = &src[(size_t(sy) * w + sx) * 3];
          const double darkness =
              1.0 - (77 * centre[0] + 150 * centre[1] + 29 * centre[2]) / 65280.0;
          const bool dot = imaging::HashUnit(uint32_t(cx), uint32_t(cy), 0x5717u) <
                           std::pow(darkness, 1.3) * (density / 50.0);
          const double ex = x - (cx * cell + radius - 0.5), ey = y - (cy * cell + radius - 0.5);
          const bool inside = cell <= 2 || ex * ex + ey * ey <= radius * radius;
          for (int c = 0; c < 3; ++c) {
            const size_t i = (size_t(y) * w + x) * 3 + c;
            const int want = !(dot && inside) ? 255 : black ? 0 : src[i] * 3 / 4;
            ASSERT_EQ(out[i], want) << x << "," << y;
          }
        }
    }
}

// Halftone against its screens evaluated pixel by pixel in doubles: the turned cell a pixel falls
// in, the ink at that cell's centre and a round dot of that area. The filter steps along each row
// in fixed point, so a pixel lying on a cell's or a dot's very edge may fall the other way; a
// turn the wrong way, a dot of the wrong size or a shifted grid would change many.
TEST(ScreenModels, HalftoneDotsSitOnTheTurnedScreens) {
  const int w = 157, h = 96;
  const Picture src = WavyPicture(w, h, 3, 4);
  for (const auto& [cellSize, angle, mode] :
       {std::tuple{8u, 45.0, 0u}, {3u, 10.0, 0u}, {13u, -30.0, 1u}}) {
    SCOPED_TRACE(cellSize);
    Picture out(src.size());
    ASSERT_EQ(imaging::ISE3HalftoneImage(src.data(), w, h, w * 3, out.data(), w * 3, cellSize,
                                         angle, mode),
              1);
    const double cell = cellSize;
    const double turns[3] = {mode == 0 ? angle + 15 : angle + 45, angle + 75, angle};
    int off = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int k = 0; k < 3; ++k) {
          const double a = turns[mode == 1 ? 0 : k] * std::numbers::pi / 180, co = std::cos(a),
                       si = std::sin(a);
          const double u = (x * co + y * si) / cell, v = (-x * si + y * co) / cell;
          const double fu = std::floor(u) + 0.5, fv = std::floor(v) + 0.5;
          const int sx = std::clamp(int((fu * co - fv * si) * cell), 0, w - 1);
          const int sy = std::clamp(int((fu * si + fv * co) * cell), 0, h - 1);
          const uint8_t* centre = &src[(size_t(sy) * w + sx) * 3];
          const double ink =
              mode == 1 ? 1.0 - (77 * centre[0] + 150 * centre[1] + 29 * centre[2]) / 65280.0
                        : 1.0 - centre[k] / 255.0;
          const bool inked = (u - fu) * (u - fu) + (v - fv) * (v - fv) < ink / std::numbers::pi;
          off += out[(size_t(y) * w + x) * 3 + k] != (inked ? 0 : 255);
        }
    EXPECT_LT(off, w * h * 3 / 1000);
  }
}

// Perlin clouds against the textbook evaluation of improved noise, pixel by pixel, with the
// permutation shuffled by the position hash as the filter draws it.
TEST(TextureModels, PerlinCloudsMatchTheTextbookNoise) {
  const int w = 150, h = 90;
  const uint32_t seed = 4, octaves = 4, amount = 100;
  const double scale = 37;
  uint8_t perm[512];
  for (int i = 0; i < 256; ++i) perm[i] = uint8_t(i);
  for (int i = 255; i > 0; --i)
    std::swap(perm[i], perm[imaging::HashPosition(uint32_t(i), 0, seed) % (i + 1)]);
  for (int i = 0; i < 256; ++i) perm[256 + i] = perm[i];
  auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
  auto grad = [](int hash, double x, double y) {
    switch (hash & 7) {
      case 0:
        return x + y;
      case 1:
        return -x + y;
      case 2:
        return x - y;
      case 3:
        return -x - y;
      case 4:
        return x;
      case 5:
        return -x;
      case 6:
        return y;
      default:
        return -y;
    }
  };
  auto noise = [&](double x, double y) {
    const int xi = int(std::floor(x)) & 255, yi = int(std::floor(y)) & 255;
    const double u = x - std::floor(x), v = y - std::floor(y);
    const int aa = perm[perm[xi] + yi], ab = perm[perm[xi] + yi + 1];
    const int ba = perm[perm[xi + 1] + yi], bb = perm[perm[xi + 1] + yi + 1];
    const double top = grad(aa, u, v) + fade(u) * (grad(ba, u - 1, v) - grad(aa, u, v));
    const double bottom =
        grad(ab, u, v - 1) + fade(u) * (grad(bb, u - 1, v - 1) - grad(ab, u, v - 1));
    return top + fade(v) * (bottom - top);
  };
  const Picture src(size_t(w) * h * 3, 128);  // mid-grey: at full amount the clouds alone
  Picture out(src.size());
  ASSERT_EQ(imaging::ISE3GeneratePerlinNoise(src.data(), w, h, w * 3, out.data(), w * 3, amount,
                                             scale, octaves, seed),
            1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double v = 0, squares = 0, f = 1 / scale, weight = 1;
      for (uint32_t o = 0; o < octaves; ++o, f *= 2, weight /= 2) {
        v += weight * noise(x * f + 0.5 * o, y * f + 0.5 * o);
        squares += weight * weight;
      }
      const double cloud = std::clamp(127.5 + 127.5 * v / std::sqrt(squares) * 1.4, 0.0, 255.0);
      ASSERT_LE(std::abs(out[(size_t(y) * w + x) * 3] - cloud), 0.5 + 1e-6) << x << "," << y;
    }
}

// The clouds are about as strong at one octave as at eight, and laid over a dark picture they
// move it up and down about its own tone instead of washing it towards grey.
TEST(TextureModels, PerlinCloudsKeepTheirStrengthAndThePicturesTone) {
  const int w = 256, h = 192;
  auto spread = [&](const Picture& out, int base, double* mean) {
    double sum = 0, squares = 0;
    for (size_t i = 0; i < out.size(); i += 3)
      sum += out[i] - base, squares += double(out[i] - base) * (out[i] - base);
    const double n = double(out.size() / 3);
    *mean = sum / n;
    return std::sqrt(squares / n - *mean * *mean);
  };
  for (uint32_t octaves : {1u, 4u, 8u}) {
    SCOPED_TRACE(octaves);
    const Picture grey(size_t(w) * h * 3, 128);
    Picture out(grey.size());
    ASSERT_EQ(imaging::ISE3GeneratePerlinNoise(grey.data(), w, h, w * 3, out.data(), w * 3, 100, 40,
                                               octaves, 3),
              1);
    double mean;
    const double deviation = spread(out, 128, &mean);
    EXPECT_GT(deviation, 36);
    EXPECT_LT(deviation, 60);
    const Picture dark(size_t(w) * h * 3, 60);
    ASSERT_EQ(imaging::ISE3GeneratePerlinNoise(dark.data(), w, h, w * 3, out.data(), w * 3, 50, 40,
                                               octaves, 3),
              1);
    EXPECT_GT(spread(out, 60, &mean), 18);
    EXPECT_LT(std::abs(mean), 6);
  }
}

// The geometric and harmonic means on a picture tall enough for several bands of rows, where
// each band starts its own column sums: against direct sums over the square.
TEST(NeighbourhoodModels, TransformedMeansAcrossBands) {
  const int w = 23, h = 140, n = 4, r = 3;
  std::mt19937 rng(8);
  Picture src(size_t(w) * h * n);
  for (uint8_t& v : src) v = uint8_t(rng());
  for (bool harmonic : {false, true}) {
    SCOPED_TRACE(harmonic ? "harmonic" : "geometric");
    Picture out(src.size());
    auto filter = harmonic ? imaging::ISE3HarmonicMeanFilter : imaging::ISE3GeometricMeanFilter;
    ASSERT_EQ(filter(src.data(), w, h, n, w * n, out.data(), w * n, r), 1);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int c = 0; c < n; ++c) {
          double sum = 0;
          for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
              const int v =
                  src[(size_t(std::clamp(y + dy, 0, h - 1)) * w + std::clamp(x + dx, 0, w - 1)) *
                          n +
                      c];
              sum += harmonic ? 1.0 / (v + 1) : std::log(v + 1.0);
            }
          const double count = (2 * r + 1) * (2 * r + 1);
          const double want = harmonic ? count / sum - 1 : std::exp(sum / count) - 1;
          ASSERT_LE(std::abs(out[(size_t(y) * w + x) * n + c] - want), 1.0) << x << "," << y;
        }
  }
}

}  // namespace
