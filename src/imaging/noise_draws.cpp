#include "imaging/noise_draws.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace imaging {

namespace {

// The word as a fraction of 2^64 in [0, 1] (the top words round up to 1).
double UnitOfWord(uint64_t word) { return static_cast<double>(word) * 0x1p-64; }

// How far inside a rounding step a bucket's draws must stay to be sure of the step: far more
// than the error of adding a level to a draw, or of a logarithm that is off by an ulp.
constexpr double kRoundingMargin = 1e-9;

// A draw at least this large (small) ends at 255 (0) whatever the level it is added to.
constexpr double kSaturated = 255;

}  // namespace

double NoiseDrawOfWord(NoiseModel model, double scale, double mean, uint64_t word) {
  if (scale == 0) return mean;  // and not 0 x infinity where the word reaches the end
  const double r = UnitOfWord(word);
  switch (model) {
    case NoiseModel::kUniform:
      return r * (2 * scale) - scale + mean;
    case NoiseModel::kNegativeExponential:
      return -scale * std::log(1.0 - r) - scale + mean;
    case NoiseModel::kRayleigh:
      return scale * std::sqrt(-2 * std::log(1.0 - r)) - scale * std::sqrt(std::numbers::pi / 2) +
             mean;
    case NoiseModel::kGaussian:
      break;
  }
  return mean;
}

RoundedNoiseTable::RoundedNoiseTable(NoiseModel model, double scale, double mean)
    : offsets_(std::size_t{1} << kIndexBits) {
  constexpr int kShift = 64 - kIndexBits;
  const std::size_t buckets = offsets_.size();
  // A bucket's draws run from the draw of its first word to that of the next bucket's first
  // word (the draws never fall as the word grows); the last bucket ends at the largest word.
  double low = NoiseDrawOfWord(model, scale, mean, 0);
  for (std::size_t b = 0; b < buckets; ++b) {
    const uint64_t next = b + 1 < buckets ? uint64_t{b + 1} << kShift : ~uint64_t{0};
    const double high = NoiseDrawOfWord(model, scale, mean, next);
    int16_t offset = kByFormula;
    if (low >= kSaturated) {
      offset = int16_t(kSaturated);
    } else if (high <= -kSaturated) {
      offset = int16_t(-kSaturated);
    } else {
      const double step = std::floor(low + 0.5);
      if (low >= step - 0.5 + kRoundingMargin && high <= step + 0.5 - kRoundingMargin)
        offset = int16_t(std::clamp(step, -kSaturated, kSaturated));
    }
    offsets_[b] = offset;
    low = high;
  }
}

}  // namespace imaging
