// Effect 5, plasma: fractal clouds made by midpoint displacement (the diamond-square method) on
// a grid that wraps round at its edges, so that the picture tiles without seams. The grid values
// run through a cosine colour palette.
#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "imaging/script/effect_random.h"
#include "imaging/script/effect_table.h"

namespace imaging::script {
namespace {

constexpr uint32_t kMaxGrid = 2048;  // larger pictures sample the grid between its points

class WrappingGrid {
 public:
  explicit WrappingGrid(uint32_t side) : side_(side), values_(size_t{side} * side, 0.0f) {}
  float& At(int64_t x, int64_t y) {
    const int64_t s = side_;
    return values_[static_cast<size_t>(((y % s + s) % s) * s + ((x % s + s) % s))];
  }
  uint32_t side() const { return side_; }

 private:
  uint32_t side_;
  std::vector<float> values_;
};

void Displace(WrappingGrid& grid, EffectRandom& random, double roughness) {
  const int64_t n = grid.side();
  double amplitude = 1.0;
  // Each level halves the feature size and multiplies the displacement by this factor: low
  // roughness gives broad soft clouds, high roughness grainy detail.
  const double falloff = 0.3 + 0.5 * std::clamp(roughness, 0.0, 100.0) / 100.0;
  for (int64_t step = n; step > 1; step /= 2, amplitude *= falloff) {
    const int64_t half = step / 2;
    for (int64_t y = 0; y < n; y += step)
      for (int64_t x = 0; x < n; x += step) {
        const float mean = (grid.At(x, y) + grid.At(x + step, y) + grid.At(x, y + step) +
                            grid.At(x + step, y + step)) * 0.25f;
        grid.At(x + half, y + half) = mean + static_cast<float>((random.Unit() - 0.5) * amplitude);
      }
    for (int64_t y = 0; y < n; y += half)
      for (int64_t x = (y / half) % 2 == 0 ? half : 0; x < n; x += step) {
        const float mean = (grid.At(x - half, y) + grid.At(x + half, y) + grid.At(x, y - half) +
                            grid.At(x, y + half)) * 0.25f;
        grid.At(x, y) = mean + static_cast<float>((random.Unit() - 0.5) * amplitude);
      }
  }
}

}  // namespace

bool RunPlasma(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  uint32_t side = 2;
  while (side < std::max(picture.width, picture.height) && side < kMaxGrid) side *= 2;
  WrappingGrid grid(side);
  EffectRandom random(SeedFromValue(values[0]));
  Displace(grid, random, values[1]);

  float low = grid.At(0, 0), high = low;
  for (uint32_t y = 0; y < side; ++y)
    for (uint32_t x = 0; x < side; ++x) low = std::min(low, grid.At(x, y)), high = std::max(high, grid.At(x, y));
  const double range = high > low ? high - low : 1.0;

  // Palette: channel c = 0.5 + 0.5 cos(2 pi (cycles t + phase + offset_c)), offsets spread over
  // a third of a turn each, which walks round the colour wheel.
  const double cycles = values[2], phase = values[3] / 100.0;
  constexpr double kTwoPi = 2 * std::numbers::pi;
  const double scaleX = double(side) / picture.width, scaleY = double(side) / picture.height;
  // Rows are independent: they are shared over the pool's threads.
  cv::parallel_for_(cv::Range(0, static_cast<int>(picture.height)), [&](const cv::Range& rows) {
  for (uint32_t y = uint32_t(rows.start); y < uint32_t(rows.end); ++y) {
    const double gy = (y + 0.5) * scaleY - 0.5;
    const int64_t y0 = static_cast<int64_t>(std::floor(gy));
    const double fy = gy - y0;
    uint8_t* row = picture.pixels + size_t{y} * picture.width * 4;
    for (uint32_t x = 0; x < picture.width; ++x) {
      const double gx = (x + 0.5) * scaleX - 0.5;
      const int64_t x0 = static_cast<int64_t>(std::floor(gx));
      const double fx = gx - x0;
      const double v = (grid.At(x0, y0) * (1 - fx) + grid.At(x0 + 1, y0) * fx) * (1 - fy) +
                       (grid.At(x0, y0 + 1) * (1 - fx) + grid.At(x0 + 1, y0 + 1) * fx) * fy;
      const double t = cycles * (v - low) / range + phase;
      const double red = 0.5 + 0.5 * std::cos(kTwoPi * t);
      const double green = 0.5 + 0.5 * std::cos(kTwoPi * (t + 1.0 / 3.0));
      const double blue = 0.5 + 0.5 * std::cos(kTwoPi * (t + 2.0 / 3.0));
      uint8_t* p = row + size_t{x} * 4;
      p[0] = static_cast<uint8_t>(blue * 255 + 0.5);
      p[1] = static_cast<uint8_t>(green * 255 + 0.5);
      p[2] = static_cast<uint8_t>(red * 255 + 0.5);
      p[3] = 255;
    }
  }
  });
  return true;
}

}  // namespace imaging::script
