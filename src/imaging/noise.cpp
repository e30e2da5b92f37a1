#include "imaging/noise.h"

#include <cmath>
#include <numbers>
#include <opencv2/core.hpp>

#include "imaging/filter_frame.h"
#include "imaging/picture_args.h"

namespace imaging {

namespace {

constexpr uint64_t kSeed = 0x9E3779B97F4A7C15ull;

// The generator's seed for row y: the row number through a 64-bit finaliser.
uint64_t RowSeed(uint32_t y) {
  uint64_t z = kSeed + (uint64_t{y} + 1) * 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return z != 0 ? z : kSeed;  // a zero state would draw zeros
}

enum class Model { kGaussian, kUniform, kNegativeExponential, kRayleigh };

// One zero-mean draw of the model with the given scale.
struct Draw {
  Model model;
  double scale;
  cv::RNG rng;

  double operator()() {
    switch (model) {
      case Model::kGaussian:
        return rng.gaussian(scale);
      case Model::kUniform:
        return rng.uniform(-scale, scale);
      case Model::kNegativeExponential: {
        const double u = 1.0 - rng.uniform(0.0, 1.0);  // in (0, 1]
        return -scale * std::log(u) - scale;
      }
      case Model::kRayleigh: {
        const double u = 1.0 - rng.uniform(0.0, 1.0);
        return scale * std::sqrt(-2 * std::log(u)) - scale * std::sqrt(std::numbers::pi / 2);
      }
    }
    return 0;
  }
};

int32_t AddNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bpp, uint32_t rowBytes,
                 Model model, double amount, double mean, uint8_t monochrome,
                 uint32_t channelMask) {
  if (!(bpp == 3 || bpp == 4) || !IsDrawablePicture(pixels, width, height, rowBytes, bpp) ||
      !(amount >= 0) || !std::isfinite(amount) || !std::isfinite(mean))
    return 0;
  // Rows in parallel, each drawing from its own generator seeded from its row number (well
  // mixed, so that neighbouring rows' grain is unrelated): the grain is the same at any split.
  ForEachRowBand(int(height), [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      Draw draw{model, amount / 100.0, cv::RNG(RowSeed(uint32_t(y)))};
      uint8_t* p = static_cast<uint8_t*>(pixels) + std::size_t(y) * rowBytes;
      for (uint32_t x = 0; x < width; ++x, p += bpp) {
        const double shared = monochrome ? draw() + mean : 0;
        for (uint32_t c = 0; c < bpp; ++c) {
          if (!(channelMask & (1u << c))) continue;
          const double v = p[c] + (monochrome ? shared : draw() + mean);
          p[c] = v <= 0 ? 0 : v >= 255 ? 255 : static_cast<uint8_t>(std::lround(v));
        }
      }
    }
  });
  return 1;
}

}  // namespace

int32_t ISE3AddGaussianNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                             uint32_t rowBytes, double amount, double mean, uint8_t monochrome,
                             uint32_t channelMask) {
  return AddNoise(pixels, width, height, bytesPerPixel, rowBytes, Model::kGaussian, amount, mean,
                  monochrome, channelMask);
}

int32_t ISE3AddUniformNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                            uint32_t rowBytes, double amount, double mean, uint8_t monochrome,
                            uint32_t channelMask) {
  return AddNoise(pixels, width, height, bytesPerPixel, rowBytes, Model::kUniform, amount, mean,
                  monochrome, channelMask);
}

int32_t ISE3AddNegativeExpNoise(void* pixels, uint32_t width, uint32_t height,
                                uint32_t bytesPerPixel, uint32_t rowBytes, double amount,
                                uint8_t monochrome, uint32_t channelMask) {
  return AddNoise(pixels, width, height, bytesPerPixel, rowBytes, Model::kNegativeExponential,
                  amount, 0, monochrome, channelMask);
}

int32_t ISE3AddRayleighNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                             uint32_t rowBytes, double amount, uint8_t monochrome,
                             uint32_t channelMask) {
  return AddNoise(pixels, width, height, bytesPerPixel, rowBytes, Model::kRayleigh, amount, 0,
                  monochrome, channelMask);
}

}  // namespace imaging
