// The noise models against plain models: pixel by pixel from the generator with the standard
// library's logarithm and square root, and the histogram of a large sample against each
// distribution's own cumulative function.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <opencv2/core.hpp>
#include <random>
#include <string>
#include <vector>

#include "imaging/noise.h"

namespace {

enum class Kind { kGaussian, kUniform, kExponential, kRayleigh };

// The repeatable sequence: row y draws from a generator seeded with its row number mixed.
uint64_t RowSeed(uint32_t y) {
  constexpr uint64_t kGolden = 0x9E3779B97F4A7C15ull;
  uint64_t z = kGolden + (uint64_t{y} + 1) * kGolden;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return z != 0 ? z : kGolden;
}

double PlainDraw(Kind kind, double s, cv::RNG& rng) {
  switch (kind) {
    case Kind::kGaussian:
      return rng.gaussian(s);
    case Kind::kUniform:
      return rng.uniform(-s, s);
    case Kind::kExponential:
      return -s * std::log(1.0 - rng.uniform(0.0, 1.0)) - s;
    case Kind::kRayleigh:
      return s * std::sqrt(-2 * std::log(1.0 - rng.uniform(0.0, 1.0))) -
             s * std::sqrt(std::numbers::pi / 2);
  }
  return 0;
}

void PlainNoise(std::vector<uint8_t>& pixels, uint32_t w, uint32_t h, uint32_t bpp,
                uint32_t rowBytes, Kind kind, double amount, double mean, bool mono,
                uint32_t mask) {
  for (uint32_t y = 0; y < h; ++y) {
    cv::RNG rng(RowSeed(y));
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = &pixels[y * rowBytes + x * bpp];
      const double shared = mono ? PlainDraw(kind, amount / 100, rng) + mean : 0;
      for (uint32_t c = 0; c < bpp; ++c) {
        if (!(mask & (1u << c))) continue;
        const double v = p[c] + (mono ? shared : PlainDraw(kind, amount / 100, rng) + mean);
        p[c] = v <= 0 ? 0 : v >= 255 ? 255 : uint8_t(std::lround(v));
      }
    }
  }
}

int32_t Noise(Kind kind, std::vector<uint8_t>& pixels, uint32_t w, uint32_t h, uint32_t bpp,
              uint32_t rowBytes, double amount, double mean, bool mono, uint32_t mask) {
  void* p = pixels.data();
  switch (kind) {
    case Kind::kGaussian:
      return imaging::ISE3AddGaussianNoise(p, w, h, bpp, rowBytes, amount, mean, mono, mask);
    case Kind::kUniform:
      return imaging::ISE3AddUniformNoise(p, w, h, bpp, rowBytes, amount, mean, mono, mask);
    case Kind::kExponential:
      return imaging::ISE3AddNegativeExpNoise(p, w, h, bpp, rowBytes, amount, mono, mask);
    case Kind::kRayleigh:
      return imaging::ISE3AddRayleighNoise(p, w, h, bpp, rowBytes, amount, mono, mask);
  }
  return 0;
}

const char* Name(Kind kind) {
  const char* names[] = {"Gaussian", "Uniform", "Exponential", "Rayleigh"};
  return names[int(kind)];
}

// Every model, sample for sample, as the plain model draws it: on random pictures with padded
// rows (left alone), both pixel sizes, several channel masks, grain with and without colour, and
// spreads from none through sub-level (draws on rounding boundaries) to far past the range.
TEST(NoiseModels, MatchThePlainModelToTheBit) {
  const uint32_t w = 97, h = 70;
  std::mt19937 random(5);
  for (Kind kind : {Kind::kGaussian, Kind::kUniform, Kind::kExponential, Kind::kRayleigh})
    for (double amount : {0.0, 50.0, 137.0, 2000.0, 20000.0, 1e7})
      for (uint32_t bpp : {3u, 4u})
        for (uint32_t mask : {7u, 15u, 5u, 0u})
          for (bool mono : {false, true}) {
            const double mean = kind == Kind::kGaussian || kind == Kind::kUniform ? 2.5 : 0;
            SCOPED_TRACE(std::string(Name(kind)) + " amount " + std::to_string(amount) + " bpp " +
                         std::to_string(bpp) + " mask " + std::to_string(mask) +
                         (mono ? " mono" : ""));
            const uint32_t rowBytes = w * bpp + 5;
            std::vector<uint8_t> picture(std::size_t(rowBytes) * h);
            for (uint8_t& v : picture) v = uint8_t(random());
            std::vector<uint8_t> expected = picture;
            PlainNoise(expected, w, h, bpp, rowBytes, kind, amount, mean, mono, mask);
            ASSERT_EQ(Noise(kind, picture, w, h, bpp, rowBytes, amount, mean, mono, mask), 1);
            const auto differ = std::mismatch(picture.begin(), picture.end(), expected.begin());
            ASSERT_TRUE(differ.first == picture.end())
                << "first difference at byte " << differ.first - picture.begin();
          }
}

// A large sample on flat grey: the counts of each resulting level against the probabilities the
// distribution gives the interval that rounds to it (the ends collecting the tails), by a
// chi-square test with sparse levels pooled. A table off by a bucket, a rounding step or a shape
// fails by far.
TEST(NoiseModels, HistogramsFollowTheirDistributions) {
  const double s = 20;  // the scale, in levels
  struct Case {
    Kind kind;
    std::function<double(double)> cdf;  // of the draw, its mean already subtracted
  } cases[] = {
      {Kind::kGaussian, [&](double x) { return 0.5 * std::erfc(-x / (s * std::sqrt(2.0))); }},
      {Kind::kUniform, [&](double x) { return std::clamp((x + s) / (2 * s), 0.0, 1.0); }},
      {Kind::kExponential, [&](double x) { return x <= -s ? 0 : 1 - std::exp(-(x + s) / s); }},
      {Kind::kRayleigh,
       [&](double x) {
         const double r = x + s * std::sqrt(std::numbers::pi / 2);
         return r <= 0 ? 0 : 1 - std::exp(-r * r / (2 * s * s));
       }},
  };
  const uint32_t w = 1024, h = 256, grey = 128;
  for (const Case& c : cases) {
    SCOPED_TRACE(Name(c.kind));
    std::vector<uint8_t> picture(std::size_t(w) * h * 3, uint8_t(grey));
    ASSERT_EQ(Noise(c.kind, picture, w, h, 3, w * 3, s * 100, 0, false, 7), 1);
    std::vector<double> counts(256);
    for (uint8_t v : picture) ++counts[v];
    const double n = double(picture.size());
    double chi = 0, expectedPooled = 0, countPooled = 0;
    int bins = 0;
    for (int level = 0; level < 256; ++level) {
      const double lo = level == 0 ? -1e9 : level - 0.5 - grey;
      const double hi = level == 255 ? 1e9 : level + 0.5 - grey;
      expectedPooled += n * (c.cdf(hi) - c.cdf(lo));
      countPooled += counts[level];
      if (expectedPooled >= 20 || level == 255) {
        if (expectedPooled > 0) {
          chi += (countPooled - expectedPooled) * (countPooled - expectedPooled) / expectedPooled;
          ++bins;
        } else {
          EXPECT_EQ(countPooled, 0) << "levels the distribution never reaches, up to " << level;
        }
        expectedPooled = countPooled = 0;
      }
    }
    // About one in ten thousand for a sample that follows the distribution.
    const double dof = bins - 1;
    EXPECT_LT(chi, dof + 3.7 * std::sqrt(2 * dof)) << bins << " bins";
  }
}

}  // namespace
