// Effect 27, bump: lights the picture as a relief whose height is its own lightness. Each pixel's
// surface normal comes from the lightness slope around it; its colour is scaled by how squarely
// it faces the light, so that flat areas keep their colour. Slots: 1 depth %, 2 light direction
// in degrees (anticlockwise from the right; 135 is the upper left), 5 light elevation in degrees
// above the surface, 6 ambient light %. Alpha is kept.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunBump(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  constexpr double kDegree = std::numbers::pi / 180;
  const double depth = Limited(values[1], 0, 1000) / 100 * 6;
  const double azimuth = Limited(values[2], -3600, 3600) * kDegree;
  const double elevation = Limited(values[5], 1, 90) * kDegree;
  const double ambient = Limited(values[6], 0, 100) / 100;
  // Light toward the viewer (z) from the given side; picture rows run downward.
  const double lx = std::cos(elevation) * std::cos(azimuth);
  const double ly = -std::cos(elevation) * std::sin(azimuth);
  const double lz = std::sin(elevation);
  const int64_t w = picture.width, h = picture.height;
  std::vector<float> height(size_t(w * h));
  for (size_t i = 0; i < height.size(); ++i) {
    const uint8_t* p = picture.pixels + i * 4;
    height[i] = float((114 * p[0] + 587 * p[1] + 299 * p[2]) / (1000.0 * 255.0));
  }
  const auto at = [&](int64_t x, int64_t y) {
    return height[size_t(std::clamp<int64_t>(y, 0, h - 1) * w + std::clamp<int64_t>(x, 0, w - 1))];
  };
  for (int64_t y = 0; y < h; ++y)
    for (int64_t x = 0; x < w; ++x) {
      const double sx = (at(x + 1, y) - at(x - 1, y)) * 0.5 * depth;
      const double sy = (at(x, y + 1) - at(x, y - 1)) * 0.5 * depth;
      const double facing = (-sx * lx - sy * ly + lz) / std::sqrt(sx * sx + sy * sy + 1);
      // A flat pixel faces the light by lz: dividing by it keeps flat areas as they were.
      const double shade = std::clamp(ambient + (1 - ambient) * facing / lz, 0.0, 2.0);
      uint8_t* p = picture.pixels + size_t(y * w + x) * 4;
      for (int c = 0; c < 3; ++c) p[c] = uint8_t(std::min(255.0, p[c] * shade) + 0.5);
    }
  return true;
}

}  // namespace imaging::script
