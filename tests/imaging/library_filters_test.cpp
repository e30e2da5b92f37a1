// The library's neighbourhood, tone, blur, detail, noise and painterly filters, each against a
// plain reference computation or a property it must keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "imaging/artistic_filters.h"
#include "imaging/detail_filters.h"
#include "imaging/directional_blurs.h"
#include "imaging/gaussian_blur.h"
#include "imaging/local_contrast.h"
#include "imaging/neighbourhood_filters.h"
#include "imaging/noise_filters.h"
#include "imaging/plane_filters.h"
#include "imaging/tone_filters.h"
#include "imaging/transforms.h"

namespace {

using Picture = std::vector<uint8_t>;

Picture RandomPicture(int w, int h, int n, uint32_t seed) {
  std::mt19937 rng(seed);
  Picture p(size_t(w) * h * n);
  for (uint8_t& v : p) v = uint8_t(rng());
  return p;
}

// Sample (x, y, c) with the border repeated.
int At(const Picture& p, int w, int h, int n, int x, int y, int c) {
  x = std::clamp(x, 0, w - 1), y = std::clamp(y, 0, h - 1);
  return p[(size_t(y) * w + x) * n + c];
}

std::vector<int> Neighbourhood(const Picture& p, int w, int h, int n, int x, int y, int c, int r) {
  std::vector<int> v;
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) v.push_back(At(p, w, h, n, x + dx, y + dy, c));
  return v;
}

using Neighbourhood8 = int32_t (*)(const void*, uint32_t, uint32_t, uint32_t, uint32_t, void*,
                                   uint32_t, uint32_t);

// Every neighbourhood filter against a direct computation over its square, at 1, 3 and 4 bytes
// a pixel, with the border repeated. The means of transformed samples are compared within one
// level (float sums); the order statistics exactly.
TEST(NeighbourhoodFilters, MatchDirectComputationOverTheSquare) {
  struct Case {
    const char* name;
    Neighbourhood8 filter;
    std::function<double(std::vector<int>)> model;
    int tolerance;
  };
  const Case cases[] = {
      {"maximum", imaging::ISE3MaximumFilter,
       [](std::vector<int> v) { return *std::max_element(v.begin(), v.end()); }, 0},
      {"minimum", imaging::ISE3MinimumFilter,
       [](std::vector<int> v) { return *std::min_element(v.begin(), v.end()); }, 0},
      {"median", imaging::ISE3MedianCutImage,
       [](std::vector<int> v) {
         std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
         return v[v.size() / 2];
       },
       0},
      {"midpoint", imaging::ISE3MidpointFilter,
       [](std::vector<int> v) {
         return std::floor(
             (*std::max_element(v.begin(), v.end()) + *std::min_element(v.begin(), v.end()) + 1) /
             2.0);
       },
       0},
      {"arithmetic", imaging::ISE3ArithmeticMeanFilter,
       [](std::vector<int> v) {
         double s = 0;
         for (int x : v) s += x;
         return s / v.size();
       },
       1},
      {"geometric", imaging::ISE3GeometricMeanFilter,
       [](std::vector<int> v) {
         double s = 0;
         for (int x : v) s += std::log(x + 1.0);
         return std::exp(s / v.size()) - 1;
       },
       1},
      {"harmonic", imaging::ISE3HarmonicMeanFilter,
       [](std::vector<int> v) {
         double s = 0;
         for (int x : v) s += 1.0 / (x + 1.0);
         return v.size() / s - 1;
       },
       1},
  };
  const int w = 11, h = 7;
  for (const Case& k : cases)
    for (int n : {1, 3, 4})
      for (uint32_t r : {1u, 2u, 4u}) {
        SCOPED_TRACE(std::string(k.name) + " n=" + std::to_string(n) + " r=" + std::to_string(r));
        const Picture src = RandomPicture(w, h, n, 11 + n);
        Picture dst(src.size());
        ASSERT_EQ(k.filter(src.data(), w, h, n, w * n, dst.data(), w * n, r), 1);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            for (int c = 0; c < n; ++c) {
              const double want = k.model(Neighbourhood(src, w, h, n, x, y, c, int(r)));
              EXPECT_LE(std::abs(dst[(size_t(y) * w + x) * n + c] - want), k.tolerance + 0.5)
                  << x << "," << y << "," << c;
            }
      }
}

// Negative, posterize and solarize over every byte value against their definitions.
TEST(ToneFilters, EverySampleValueFollowsTheDefinition) {
  Picture ramp(256 * 3);
  for (int i = 0; i < 256 * 3; ++i) ramp[i] = uint8_t(i / 3);
  Picture out(ramp.size());
  ASSERT_EQ(imaging::ISE3InvertImage(ramp.data(), 256, 1, 768, out.data(), 768), 1);
  for (int i = 0; i < 768; ++i) EXPECT_EQ(out[i], 255 - ramp[i]);

  for (uint32_t levels : {2u, 3u, 5u, 17u, 255u}) {
    ASSERT_EQ(imaging::ISE3PosterizeRGB(ramp.data(), 256, 1, 768, out.data(), 768, levels), 1);
    std::vector<int> seen;
    for (int x = 0; x < 256; ++x) {
      // Band of equal width 256 / levels, spread back over 0..255.
      const int band = int(std::floor(x / (256.0 / levels)));
      const int want = int(std::floor(band * 255.0 / (levels - 1)));
      EXPECT_EQ(out[3 * x], want) << "levels " << levels << " x " << x;
      if (seen.empty() || seen.back() != out[3 * x]) seen.push_back(out[3 * x]);
    }
    EXPECT_EQ(seen.size(), levels);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 255);
  }
  // Levels outside 2..255 are limited, never read past the table.
  ASSERT_EQ(imaging::ISE3PosterizeRGB(ramp.data(), 256, 1, 768, out.data(), 768, 0), 1);
  EXPECT_EQ(out[3 * 127], 0);
  EXPECT_EQ(out[3 * 128], 255);

  for (uint32_t t : {0u, 100u, 254u, 255u, 1000u}) {
    ASSERT_EQ(imaging::ISE3SolarizeImage(ramp.data(), 256, 1, 768, out.data(), 768, t), 1);
    for (int x = 0; x < 256; ++x) EXPECT_EQ(out[3 * x], uint32_t(x) > t ? 255 - x : x);
  }
}

// The blur of Blur: a Gaussian of sigma strength / 100 with the border repeated, against a
// separable sum in doubles. The blur works in fixed point (its kernel weights are rounded to a
// few bits), which costs up to a level and a half against the exact sum.
TEST(BlurImage, MatchesASeparableGaussianInDoubles) {
  const int w = 17, h = 12, n = 4;
  const Picture src = RandomPicture(w, h, n, 5);
  for (uint32_t strength : {40u, 75u, 100u}) {
    Picture dst(src.size());
    ASSERT_EQ(imaging::IS3BlurImage(src.data(), w, h, n, w * n, dst.data(), w * n, strength, 15),
              1);
    const double sigma = strength / 100.0;
    const int radius = (int(std::lround(sigma * 3 * 2 + 1)) | 1) / 2;
    std::vector<double> k(2 * radius + 1);
    double sum = 0;
    for (int i = -radius; i <= radius; ++i)
      sum += k[i + radius] = std::exp(-i * i / (2 * sigma * sigma));
    for (double& v : k) v /= sum;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int c = 0; c < n; ++c) {
          double v = 0;
          for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
              v += k[dy + radius] * k[dx + radius] * At(src, w, h, n, x + dx, y + dy, c);
          EXPECT_LE(std::abs(dst[(size_t(y) * w + x) * n + c] - v), 1.5) << strength;
        }
  }
}

// Every blur keeps a flat picture flat and never leaves the range of the picture it reads.
TEST(DirectionalBlurs, KeepFlatPicturesAndStayInsideTheInputRange) {
  using Run = std::function<int32_t(const Picture&, Picture&, int, int)>;
  const std::pair<const char*, Run> blurs[] = {
      {"box passes",
       [](const Picture& s, Picture& d, int w, int h) {
         return imaging::ISE40_BlurImage(s.data(), w, h, 4, w * 4, d.data(), w * 4, 3);
       }},
      {"motion",
       [](const Picture& s, Picture& d, int w, int h) {
         return imaging::ISE3MotionBlur(s.data(), w, h, 4, w * 4, d.data(), w * 4, 0, 9, 30, 0.5,
                                        0.5);
       }},
      {"spin",
       [](const Picture& s, Picture& d, int w, int h) {
         return imaging::ISE3MotionBlur(s.data(), w, h, 4, w * 4, d.data(), w * 4, 1, 40, 0, 0.3,
                                        0.6);
       }},
      {"zoom",
       [](const Picture& s, Picture& d, int w, int h) {
         return imaging::ISE3MotionBlur(s.data(), w, h, 4, w * 4, d.data(), w * 4, 2, 0.4, 0, 0.5,
                                        0.5);
       }},
      {"trail",
       [](const Picture& s, Picture& d, int w, int h) {
         return imaging::is5_MotionBlur(s.data(), w, h, 4, w * 4, d.data(), w * 4, 200, 7.5);
       }},
      {"smooth spin",
       [](const Picture& s, Picture& d, int w, int h) {
         return imaging::is5_RadialBlur(s.data(), w, h, 4, w * 4, d.data(), w * 4, 33, 4, 9);
       }},
      {"smooth zoom",
       [](const Picture& s, Picture& d, int w, int h) {
         return imaging::is5_ZoomBlur(s.data(), w, h, 4, w * 4, d.data(), w * 4, 0.3, 20, 2);
       }},
  };
  const int w = 23, h = 19;
  for (const auto& [name, run] : blurs) {
    SCOPED_TRACE(name);
    Picture flat(size_t(w) * h * 4);
    for (size_t i = 0; i < flat.size(); ++i) flat[i] = uint8_t(40 + 50 * (i % 4));
    Picture out(flat.size());
    ASSERT_EQ(run(flat, out, w, h), 1);
    EXPECT_EQ(out, flat);
    // Values between 60 and 190 only: the blur stays there.
    Picture noisy = RandomPicture(w, h, 4, 3);
    for (uint8_t& v : noisy) v = uint8_t(60 + v % 131);
    ASSERT_EQ(run(noisy, out, w, h), 1);
    EXPECT_GE(*std::min_element(out.begin(), out.end()), 60);
    EXPECT_LE(*std::max_element(out.begin(), out.end()), 190);
    EXPECT_NE(out, noisy);
  }
  // A horizontal motion of a single bright column spreads it along the row only.
  Picture dot(size_t(w) * h * 4, 0);
  for (int y = 0; y < h; ++y) dot[(size_t(y) * w + 11) * 4] = 255;
  Picture out(dot.size());
  ASSERT_EQ(
      imaging::ISE3MotionBlur(dot.data(), w, h, 4, w * 4, out.data(), w * 4, 0, 6, 0, 0.5, 0.5), 1);
  for (int y = 0; y < h; ++y) {
    EXPECT_GT(out[(size_t(y) * w + 9) * 4], 0);
    EXPECT_GT(out[(size_t(y) * w + 13) * 4], 0);
    EXPECT_EQ(out[(size_t(y) * w + 2) * 4], 0);
  }
}

// Mosaic tiles hold the rounded mean of their pixels, the last ones clipped by the border.
TEST(Mosaic, TilesTakeTheirRoundedMean) {
  const int w = 7, h = 5, n = 3;
  Picture p = RandomPicture(w, h, n, 9);
  const Picture original = p;
  ASSERT_EQ(imaging::ISE3MosaicImage(p.data(), w, h, n, w * n, 3), 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < n; ++c) {
        const int tx = x / 3 * 3, ty = y / 3 * 3;
        double sum = 0;
        int count = 0;
        for (int yy = ty; yy < std::min(h, ty + 3); ++yy)
          for (int xx = tx; xx < std::min(w, tx + 3); ++xx, ++count)
            sum += original[(yy * w + xx) * n + c];
        EXPECT_EQ(p[(y * w + x) * n + c], int(std::floor(sum / count + 0.5)));
      }
}

// Dust and scratches takes out specks beyond the threshold and keeps everything else.
TEST(DustAndScratches, RemovesSpecksAndKeepsTextureBelowTheThreshold) {
  const int w = 9, h = 9;
  Picture p(size_t(w) * h * 3);
  for (int i = 0; i < w * h * 3; ++i) p[i] = uint8_t(100 + (i / 3) % 5);  // gentle texture
  p[(4 * w + 4) * 3 + 1] = 250;                                           // one speck
  Picture out(p.size());
  ASSERT_EQ(imaging::ISE3DustAndScratches(p.data(), w, h, 3, w * 3, out.data(), w * 3, 1, 30), 1);
  EXPECT_LT(out[(4 * w + 4) * 3 + 1], 110);
  for (size_t i = 0; i < p.size(); ++i) {
    if (i == size_t((4 * w + 4) * 3 + 1)) continue;
    EXPECT_EQ(out[i], p[i]) << i;
  }
}

// Oil paint against a brute-force count of the brush's brightness bands (ties to the darker
// band), square and round, with and without the detail kept; small brushes and one past 25 x 25
// (whose sums are kept another way), on a picture tall enough to run in several bands of rows,
// into another picture and in place.
TEST(OilPaint, MatchesABruteForceHistogramOfTheBrush) {
  const int w = 23, h = 70;
  const Picture src = RandomPicture(w, h, 3, 21);
  for (uint32_t flags : {0u, 1u, 2u, 3u})
    for (uint32_t size : {1u, 3u, 13u}) {
      SCOPED_TRACE("flags " + std::to_string(flags) + " size " + std::to_string(size));
      const uint32_t smoothness = 100;
      Picture out(src.size());
      ASSERT_EQ(imaging::ISE3OilPaintRGB(src.data(), w, h, w * 3, out.data(), w * 3, size,
                                         smoothness, flags),
                1);
      Picture same = src;
      ASSERT_EQ(imaging::ISE3OilPaintRGB(same.data(), w, h, w * 3, same.data(), w * 3, size,
                                         smoothness, flags),
                1);
      EXPECT_EQ(same, out);
      const int bands = 8 + int(smoothness) * 56 / 255, r = int(size);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          std::vector<int> count(bands), sum(bands * 3);
          for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
              if ((flags & 1) && dx * dx + dy * dy > r * r + r) continue;
              int rgb[3];
              for (int c = 0; c < 3; ++c) rgb[c] = At(src, w, h, 3, x + dx, y + dy, c);
              const int grey = (77 * rgb[0] + 150 * rgb[1] + 29 * rgb[2]) >> 8;
              const int b = grey * bands / 256;
              ++count[b];
              for (int c = 0; c < 3; ++c) sum[b * 3 + c] += rgb[c];
            }
          const int best = int(std::max_element(count.begin(), count.end()) - count.begin());
          for (int c = 0; c < 3; ++c) {
            int want = int(std::floor(double(sum[best * 3 + c]) / count[best] + 0.5));
            if (flags & 2) want = (want + src[(y * w + x) * 3 + c] + 1) / 2;
            EXPECT_EQ(out[(y * w + x) * 3 + c], want) << x << "," << y;
          }
        }
    }
}

// Sharpening changes nothing on flat colour; the unsharp mask leaves differences within the
// threshold alone and pushes an edge apart.
TEST(DetailFilters, SharpeningKeepsFlatAreasAndRespectsTheThreshold) {
  const int w = 12, h = 6;
  Picture flat(size_t(w) * h * 3, 90), out(flat.size());
  ASSERT_EQ(imaging::ISE3SharpenImage(flat.data(), w, h, w * 3, out.data(), w * 3, 100), 1);
  EXPECT_EQ(out, flat);
  Picture step = flat;
  for (int y = 0; y < h; ++y)
    for (int x = 6; x < w; ++x)
      for (int c = 0; c < 3; ++c) step[(y * w + x) * 3 + c] = 150;
  ASSERT_EQ(
      imaging::IS3UnsharpMaskImage(step.data(), w, h, w * 3, out.data(), w * 3, 1.5, 100, 255), 1);
  EXPECT_EQ(out, step);
  ASSERT_EQ(imaging::IS3UnsharpMaskImage(step.data(), w, h, w * 3, out.data(), w * 3, 1.5, 100, 0),
            1);
  EXPECT_LT(out[(2 * w + 5) * 3], 90);
  EXPECT_GT(out[(2 * w + 6) * 3], 150);
  EXPECT_EQ(out[(2 * w + 0) * 3], 90);
}

// Canny finds the step between two flat areas and nothing inside them.
TEST(DetailFilters, CannyMarksTheStepOnly) {
  const int w = 20, h = 10;
  Picture p(size_t(w) * h * 3, 30);
  for (int y = 0; y < h; ++y)
    for (int x = 10; x < w; ++x)
      for (int c = 0; c < 3; ++c) p[(y * w + x) * 3 + c] = 220;
  Picture out(p.size());
  ASSERT_EQ(imaging::ISE3CannyEdgeDetector(p.data(), w, h, w * 3, out.data(), w * 3, 50, 150, 0),
            1);
  for (int y = 1; y < h - 1; ++y) {
    EXPECT_EQ(out[(y * w + 9) * 3] + out[(y * w + 10) * 3], 255) << y;
    EXPECT_EQ(out[(y * w + 3) * 3], 0);
    EXPECT_EQ(out[(y * w + 16) * 3], 0);
  }
}

// The brightness statistics against a direct sum, and local enhancement leaving a flat picture
// as it is (its grey is its own mean everywhere).
TEST(LocalContrast, StatisticsAndFlatPictures) {
  const int w = 9, h = 4;
  const Picture p = RandomPicture(w, h, 4, 2);
  double sum = 0, squares = 0;
  for (int i = 0; i < w * h; ++i) {
    const uint8_t* s = &p[i * 4];
    sum += (77 * s[0] + 150 * s[1] + 29 * s[2] + 128) >> 8;
  }
  const double mean = sum / (w * h);
  for (int i = 0; i < w * h; ++i) {
    const uint8_t* s = &p[i * 4];
    const double g = (77 * s[0] + 150 * s[1] + 29 * s[2] + 128) >> 8;
    squares += (g - mean) * (g - mean);
  }
  double m = 0, sd = 0;
  ASSERT_EQ(imaging::ISE40_FindImageMean(p.data(), w, h, 4, w * 4, &m), 1);
  ASSERT_EQ(imaging::ISE40_FindImageStandardDeviation(p.data(), w, h, 4, w * 4, m, &sd), 1);
  EXPECT_NEAR(m, mean, 1e-9);
  EXPECT_NEAR(sd, std::sqrt(squares / (w * h)), 1e-9);
  EXPECT_EQ(imaging::ISE40_FindImageMean(p.data(), w, h, 4, w * 4, nullptr), 0);

  Picture flat(size_t(w) * h * 4, 0);
  for (int i = 0; i < w * h; ++i)
    flat[i * 4] = flat[i * 4 + 1] = flat[i * 4 + 2] = 120, flat[i * 4 + 3] = uint8_t(i);
  Picture out(flat.size());
  ASSERT_EQ(imaging::ISE40_LocalHistogramEnhancement(flat.data(), w, h, 4, w * 4, out.data(), w * 4,
                                                     120, 0, 5, 0.5, 2, 4),
            1);
  EXPECT_EQ(out, flat);
}

// The noises: nothing at amount 0, the same grain for the same seed, and the statistics of the
// coloured noise at full amount (uniform: mean 127.5, deviation 73.9).
TEST(NoiseFilters, AmountsSeedsAndStatistics) {
  const int w = 64, h = 64;
  const Picture src = RandomPicture(w, h, 3, 4);
  Picture a(src.size()), b(src.size());
  ASSERT_EQ(imaging::ISE3GenerateColoredNoise(src.data(), w, h, w * 3, a.data(), w * 3, 0, 1), 1);
  EXPECT_EQ(a, src);
  ASSERT_EQ(imaging::ISE3GenerateHugoNoise(src.data(), w, h, w * 3, a.data(), w * 3, 0, 3, 1), 1);
  EXPECT_EQ(a, src);
  ASSERT_EQ(imaging::ISE3GeneratePerlinNoise(src.data(), w, h, w * 3, a.data(), w * 3, 0, 20, 4, 1),
            1);
  EXPECT_EQ(a, src);

  ASSERT_EQ(
      imaging::ISE3GeneratePerlinNoise(src.data(), w, h, w * 3, a.data(), w * 3, 60, 20, 4, 7), 1);
  ASSERT_EQ(
      imaging::ISE3GeneratePerlinNoise(src.data(), w, h, w * 3, b.data(), w * 3, 60, 20, 4, 7), 1);
  EXPECT_EQ(a, b);
  ASSERT_EQ(
      imaging::ISE3GeneratePerlinNoise(src.data(), w, h, w * 3, b.data(), w * 3, 60, 20, 4, 8), 1);
  EXPECT_NE(a, b);

  ASSERT_EQ(imaging::ISE3GenerateColoredNoise(src.data(), w, h, w * 3, a.data(), w * 3, 100, 3), 1);
  double sum = 0, squares = 0;
  for (uint8_t v : a) sum += v;
  const double mean = sum / a.size();
  for (uint8_t v : a) squares += (v - mean) * (v - mean);
  EXPECT_NEAR(mean, 127.5, 2.0);
  EXPECT_NEAR(std::sqrt(squares / a.size()), 73.9, 2.0);

  // Film grain keeps the mid-grey's mean and has roughly the asked deviation there.
  Picture grey(size_t(w) * h * 3, 128);
  ASSERT_EQ(imaging::ISE3GenerateHugoNoise(grey.data(), w, h, w * 3, a.data(), w * 3, 25, 1, 5), 1);
  sum = squares = 0;
  for (uint8_t v : a) sum += v, squares += (v - 128.0) * (v - 128.0);
  EXPECT_NEAR(sum / a.size(), 128, 1.5);
  EXPECT_NEAR(std::sqrt(squares / a.size()), 0.64 * 25, 2.0);
}

// Screens: white paper stays white; the share of inked pixels follows the darkness.
TEST(Screens, InkFollowsTheDarkness) {
  const int w = 96, h = 96;
  for (int grey : {255, 191, 128, 64}) {
    SCOPED_TRACE(grey);
    const Picture p(size_t(w) * h * 3, uint8_t(grey));
    Picture out(p.size());
    const double darkness = 1.0 - ((77 + 150 + 29) * grey) / (256.0 * 255.0);
    ASSERT_EQ(imaging::ISE3HalftoneImage(p.data(), w, h, w * 3, out.data(), w * 3, 8, 0, 1), 1);
    double inked = 0;
    for (int i = 0; i < w * h; ++i) inked += out[i * 3] == 0;
    EXPECT_NEAR(inked / (w * h), darkness, 0.08);
    ASSERT_EQ(imaging::ISE3Stipple(p.data(), w, h, w * 3, out.data(), w * 3, 50, 1, 0), 1);
    inked = 0;
    for (int i = 0; i < w * h; ++i) inked += out[i * 3] == 0;
    EXPECT_NEAR(inked / (w * h), std::pow(darkness, 1.3), 0.05);
  }
}

// The scatter transform moves each pixel by at most its amount, and amount 0 copies.
TEST(RandomTransform, ScattersWithinTheAmount) {
  const int w = 16, h = 12;
  Picture p(size_t(w) * h * 4);
  for (int i = 0; i < w * h; ++i) p[i * 4] = uint8_t(i % w), p[i * 4 + 1] = uint8_t(i / w);
  Picture out(p.size());
  for (double amount : {0.0, 3.0}) {
    imaging::is5_ClearAllTransforms();
    ASSERT_EQ(imaging::is5_AddRandomTransform(w, h, amount, 9), 1);
    ASSERT_EQ(imaging::is5_TransformProcess(p.data(), w, h, 4, w * 4, out.data(), w * 4, 0, 0, 0),
              1);
    int moved = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint8_t* o = &out[(y * w + x) * 4];
        EXPECT_LE(std::abs(o[0] - x), std::ceil(amount));
        EXPECT_LE(std::abs(o[1] - y), std::ceil(amount));
        moved += o[0] != x || o[1] != y;
      }
    if (amount == 0) {
      EXPECT_EQ(moved, 0);
    } else {
      EXPECT_GT(moved, w * h / 2);
    }
  }
  EXPECT_EQ(imaging::is5_AddRandomTransform(w, h, -1, 0), 0);
  imaging::is5_ClearAllTransforms();
}

// Bad pictures are refused and the destination keeps every byte.
TEST(LibraryFilters, RefuseBadPicturesWithoutWriting) {
  const int w = 5, h = 4;
  const Picture src = RandomPicture(w, h, 3, 1);
  Picture dst(src.size(), 7);
  const Picture untouched = dst;
  using Call = std::function<int32_t(const uint8_t*, uint32_t, uint32_t, uint32_t, uint8_t*)>;
  const Call calls[] = {
      [](const uint8_t* s, uint32_t w, uint32_t h, uint32_t r, uint8_t* d) {
        return imaging::ISE3InvertImage(s, w, h, r, d, w * 3);
      },
      [](const uint8_t* s, uint32_t w, uint32_t h, uint32_t r, uint8_t* d) {
        return imaging::ISE3OilPaintRGB(s, w, h, r, d, w * 3, 3, 100, 1);
      },
      [](const uint8_t* s, uint32_t w, uint32_t h, uint32_t r, uint8_t* d) {
        return imaging::ISE3Stipple(s, w, h, r, d, w * 3, 50, 0, 1);
      },
      [](const uint8_t* s, uint32_t w, uint32_t h, uint32_t r, uint8_t* d) {
        return imaging::ISE3HalftoneImage(s, w, h, r, d, w * 3, 6, 10, 0);
      },
      [](const uint8_t* s, uint32_t w, uint32_t h, uint32_t r, uint8_t* d) {
        return imaging::ISE3CrackleRGB(s, w, h, r, d, w * 3, 20, 2, 0.5);
      },
      [](const uint8_t* s, uint32_t w, uint32_t h, uint32_t r, uint8_t* d) {
        return imaging::ISE3MedianCutImage(s, w, h, 3, r, d, w * 3, 2);
      },
      [](const uint8_t* s, uint32_t w, uint32_t h, uint32_t r, uint8_t* d) {
        return imaging::is5_BilateralFilterImage(s, w, h, 3, r, d, w * 3, 5, 20, 2);
      },
      [](const uint8_t* s, uint32_t w, uint32_t h, uint32_t r, uint8_t* d) {
        return imaging::ISE3MotionBlur(s, w, h, 3, r, d, w * 3, 1, 10, 0, 0.5, 0.5);
      },
      [](const uint8_t* s, uint32_t w, uint32_t h, uint32_t r, uint8_t* d) {
        return imaging::ISE3GenerateHugoNoise(s, w, h, r, d, w * 3, 50, 2, 0);
      },
  };
  for (const Call& call : calls) {
    EXPECT_EQ(call(nullptr, w, h, w * 3, dst.data()), 0);
    EXPECT_EQ(call(src.data(), 0, h, w * 3, dst.data()), 0);
    EXPECT_EQ(call(src.data(), w, h, w * 3 - 1, dst.data()), 0);  // rows too short
    EXPECT_EQ(call(src.data(), w, h, w * 3, nullptr), 0);
    EXPECT_EQ(dst, untouched);
  }
  EXPECT_EQ(imaging::ISE3MotionBlur(src.data(), w, h, 3, w * 3, dst.data(), w * 3, 3, 1, 0, 0, 0),
            0);
  EXPECT_EQ(imaging::is5_ZoomBlur(src.data(), w, h, 3, w * 3, dst.data(), w * 3, NAN, 0, 0), 0);
  EXPECT_EQ(dst, untouched);
}

}  // namespace
