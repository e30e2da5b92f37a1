// A generator palette (PaletteColour) looked up from a table instead of computed per pixel.
#pragma once

#include <array>
#include <cmath>

#include "imaging/script/generator_settings.h"

namespace imaging::script {

class PaletteTable {
 public:
  PaletteTable(const Rgb& colour, double variation) {
    for (size_t i = 0; i < kSize; ++i)
      entries_[i] = PaletteColour(double(i) / kSize, colour, variation);
  }
  // The colour at palette position t; whole cycles wrap round.
  const Rgb& At(float t) const {
    const float wrapped = t - std::floor(t);
    return entries_[static_cast<size_t>(wrapped * kSize) & (kSize - 1)];
  }

 private:
  static constexpr size_t kSize = 1024;
  std::array<Rgb, kSize> entries_;
};

}  // namespace imaging::script
