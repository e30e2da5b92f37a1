#include "imaging/noise.h"

#include <cmath>
#include <optional>
#include <opencv2/core.hpp>

#include "imaging/filter_frame.h"
#include "imaging/noise_draws.h"
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

// Gaussian draws (the generator's own, which takes a varying number of words a draw) added to a
// row of samples.
void AddGaussianRow(cv::RNG& rng, double scale, double mean, uint8_t* p, uint32_t width,
                    uint32_t bpp, uint8_t monochrome, uint32_t channelMask) {
  for (uint32_t x = 0; x < width; ++x, p += bpp) {
    const double shared = monochrome ? rng.gaussian(scale) + mean : 0;
    for (uint32_t c = 0; c < bpp; ++c) {
      if (!(channelMask & (1u << c))) continue;
      p[c] = AddDrawToLevel(p[c], monochrome ? shared : rng.gaussian(scale) + mean);
    }
  }
}

// One draw of a one-word model: a whole-level offset from the table, or for the few words the
// table leaves to the formula, the draw itself.
struct TableDraw {
  int16_t offset;
  double draw;

  uint8_t AddTo(uint8_t level) const {
    if (offset == RoundedNoiseTable::kByFormula) return AddDrawToLevel(level, draw);
    const int v = level + offset;
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
  }
};

// The one-word models added to a row of samples through the table.
void AddTableRow(cv::RNG& rng, const RoundedNoiseTable& table, NoiseModel model, double scale,
                 double mean, uint8_t* p, uint32_t width, uint32_t bpp, uint8_t monochrome,
                 uint32_t channelMask) {
  auto next = [&] {
    const uint32_t high = rng.next();
    const uint32_t low = rng.next();
    TableDraw d{table.Offset(high), 0};
    if (d.offset == RoundedNoiseTable::kByFormula)
      d.draw = NoiseDrawOfWord(model, scale, mean, uint64_t{high} << 32 | low);
    return d;
  };
  if (monochrome) {
    for (uint32_t x = 0; x < width; ++x, p += bpp) {
      const TableDraw shared = next();
      for (uint32_t c = 0; c < bpp; ++c)
        if (channelMask & (1u << c)) p[c] = shared.AddTo(p[c]);
    }
    return;
  }
  // The channels drawn for, in order: one draw each.
  uint32_t channels[4], count = 0;
  for (uint32_t c = 0; c < bpp; ++c)
    if (channelMask & (1u << c)) channels[count++] = c;
  if (count == 0) return;
  for (uint32_t x = 0; x < width; ++x, p += bpp)
    for (uint32_t i = 0; i < count; ++i) p[channels[i]] = next().AddTo(p[channels[i]]);
}

int32_t AddNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bpp, uint32_t rowBytes,
                 NoiseModel model, double amount, double mean, uint8_t monochrome,
                 uint32_t channelMask) {
  if (!(bpp == 3 || bpp == 4) || !IsDrawablePicture(pixels, width, height, rowBytes, bpp) ||
      !(amount >= 0) || !std::isfinite(amount) || !std::isfinite(mean))
    return 0;
  const double scale = amount / 100.0;
  std::optional<RoundedNoiseTable> table;
  try {
    if (model != NoiseModel::kGaussian) table.emplace(model, scale, mean);
  } catch (...) {
    return 0;
  }
  // Rows in parallel, each drawing from its own generator seeded from its row number (well
  // mixed, so that neighbouring rows' grain is unrelated): the grain is the same at any split.
  ForEachRowBand(int(height), [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      cv::RNG rng(RowSeed(uint32_t(y)));
      uint8_t* p = static_cast<uint8_t*>(pixels) + std::size_t(y) * rowBytes;
      if (table)
        AddTableRow(rng, *table, model, scale, mean, p, width, bpp, monochrome, channelMask);
      else
        AddGaussianRow(rng, scale, mean, p, width, bpp, monochrome, channelMask);
    }
  });
  return 1;
}

}  // namespace

int32_t ISE3AddGaussianNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                             uint32_t rowBytes, double amount, double mean, uint8_t monochrome,
                             uint32_t channelMask) {
  return AddNoise(pixels, width, height, bytesPerPixel, rowBytes, NoiseModel::kGaussian, amount,
                  mean, monochrome, channelMask);
}

int32_t ISE3AddUniformNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                            uint32_t rowBytes, double amount, double mean, uint8_t monochrome,
                            uint32_t channelMask) {
  return AddNoise(pixels, width, height, bytesPerPixel, rowBytes, NoiseModel::kUniform, amount,
                  mean, monochrome, channelMask);
}

int32_t ISE3AddNegativeExpNoise(void* pixels, uint32_t width, uint32_t height,
                                uint32_t bytesPerPixel, uint32_t rowBytes, double amount,
                                uint8_t monochrome, uint32_t channelMask) {
  return AddNoise(pixels, width, height, bytesPerPixel, rowBytes, NoiseModel::kNegativeExponential,
                  amount, 0, monochrome, channelMask);
}

int32_t ISE3AddRayleighNoise(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                             uint32_t rowBytes, double amount, uint8_t monochrome,
                             uint32_t channelMask) {
  return AddNoise(pixels, width, height, bytesPerPixel, rowBytes, NoiseModel::kRayleigh, amount, 0,
                  monochrome, channelMask);
}

}  // namespace imaging
