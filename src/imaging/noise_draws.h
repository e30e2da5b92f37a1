// The noise models' draws, and a table that turns most of them into whole-level offsets without
// evaluating a logarithm or a square root per sample.
//
// Every model but the Gaussian draws from one 64-bit uniform word (two of the generator's 32-bit
// numbers, high one first) through a non-decreasing function, and the caller rounds the draw
// plus the pixel to a whole level and limits it to 0..255. So the top bits of the word pick a
// bucket of words whose draws span a known interval; where that interval lies inside one
// rounding step (or past either end of the range), every word of the bucket gives the same
// result for every pixel value and the table holds it. The few buckets that straddle a rounding
// boundary are marked, and their samples are drawn by the formula itself, so the table's results
// are the formula's to the bit.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace imaging {

enum class NoiseModel { kGaussian, kUniform, kNegativeExponential, kRayleigh };

// The draw of a one-word model (not the Gaussian) of the given scale for a uniform word, plus
// mean. Zero-mean apart from mean; a scale of 0 draws exactly mean.
double NoiseDrawOfWord(NoiseModel model, double scale, double mean, uint64_t word);

// A draw added to a level: rounded half away from zero and limited to 0..255.
inline uint8_t AddDrawToLevel(uint8_t level, double draw) {
  const double v = level + draw;
  if (!(v > 0)) return 0;  // also a draw that is not a number
  return v >= 255 ? 255 : static_cast<uint8_t>(std::lround(v));
}

class RoundedNoiseTable {
 public:
  static constexpr int kIndexBits = 16;
  // The mark of a bucket whose words round differently: draw those by the formula.
  static constexpr int16_t kByFormula = INT16_MIN;

  RoundedNoiseTable(NoiseModel model, double scale, double mean);

  // The whole-level offset every word starting with these 32 high bits adds to any level (the
  // sum limited to 0..255 afterwards), or kByFormula.
  int16_t Offset(uint32_t highWord) const { return offsets_[highWord >> (32 - kIndexBits)]; }

 private:
  std::vector<int16_t> offsets_;
};

}  // namespace imaging
