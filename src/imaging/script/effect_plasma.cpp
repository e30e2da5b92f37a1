// Effect 5, plasma: fractal clouds made by midpoint displacement (the diamond-square method) on
// a grid that wraps round at its edges, so that the picture tiles without seams. The grid values
// run through a cosine colour palette.
#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

#include "imaging/script/effect_random.h"
#include "imaging/script/effect_table.h"
#include "imaging/script/zeroed_pages.h"

namespace imaging::script {
namespace {

constexpr uint32_t kMaxGrid = 2048;  // larger pictures sample the grid between its points

// A square grid of a power-of-two side whose coordinates wrap round at its edges.
class WrappingGrid {
 public:
  // Zero pages straight from the system hold the grid: a large grid's first touch then costs
  // a few large-page faults rather than thousands of small ones.
  explicit WrappingGrid(uint32_t side)
      : mask_(int64_t{side} - 1),
        side_(side),
        pages_(size_t{side} * side * sizeof(float)),
        values_(reinterpret_cast<float*>(pages_.data())) {}
  ~WrappingGrid() {
    std::memset(pages_.data(), 0, pages_.size());
    pages_.Recycle();
  }
  float& At(int64_t x, int64_t y) {
    return values_[static_cast<size_t>(((y & mask_) * side_) + (x & mask_))];
  }
  uint32_t side() const { return side_; }

 private:
  int64_t mask_;
  int64_t side_;
  ZeroedPages pages_;
  float* values_;
};

// The palette over one cycle at fine steps, each channel already scaled to 0..255 plus the half
// that rounds it; between steps it is interpolated, well within a hundredth of a level of the
// cosines it samples.
class CosinePalette {
 public:
  CosinePalette() {
    constexpr double kTwoPi = 2 * std::numbers::pi;
    for (uint32_t i = 0; i <= kSteps; ++i) {
      const double t = double(i) / kSteps;
      for (int c = 0; c < 3; ++c)
        table_[i][c] =
            static_cast<float>((0.5 + 0.5 * std::cos(kTwoPi * (t + c / 3.0))) * 255 + 0.5);
    }
  }
  // Red, green, blue at palette position t (whole cycles wrap round) as bytes.
  void At(double t, uint8_t& red, uint8_t& green, uint8_t& blue) const {
    const double steps = (t - std::floor(t)) * kSteps;
    const uint32_t i = std::min(static_cast<uint32_t>(steps), kSteps - 1);
    const float f = static_cast<float>(steps - i);
    const float* a = table_[i];
    const float* b = table_[i + 1];
    red = static_cast<uint8_t>(a[0] + (b[0] - a[0]) * f);
    green = static_cast<uint8_t>(a[1] + (b[1] - a[1]) * f);
    blue = static_cast<uint8_t>(a[2] + (b[2] - a[2]) * f);
  }

 private:
  static constexpr uint32_t kSteps = 4096;
  float table_[kSteps + 1][3];
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
                            grid.At(x + step, y + step)) *
                           0.25f;
        grid.At(x + half, y + half) = mean + static_cast<float>((random.Unit() - 0.5) * amplitude);
      }
    for (int64_t y = 0; y < n; y += half)
      for (int64_t x = (y / half) % 2 == 0 ? half : 0; x < n; x += step) {
        const float mean = (grid.At(x - half, y) + grid.At(x + half, y) + grid.At(x, y - half) +
                            grid.At(x, y + half)) *
                           0.25f;
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
    for (uint32_t x = 0; x < side; ++x)
      low = std::min(low, grid.At(x, y)), high = std::max(high, grid.At(x, y));
  const double range = high > low ? high - low : 1.0;

  // Palette: channel c = 0.5 + 0.5 cos(2 pi (cycles t + phase + offset_c)), offsets spread over
  // a third of a turn each, which walks round the colour wheel.
  const double cycles = values[2], phase = values[3] / 100.0;
  const auto palette = std::make_unique<CosinePalette>();
  const double scaleX = double(side) / picture.width, scaleY = double(side) / picture.height;
  const double toPalette = cycles / range;
  // Where each column falls between grid points, worked out once.
  struct Column {
    int64_t x0;
    double fx;
  };
  std::vector<Column> columns(picture.width);
  for (uint32_t x = 0; x < picture.width; ++x) {
    const double gx = (x + 0.5) * scaleX - 0.5;
    const int64_t x0 = static_cast<int64_t>(std::floor(gx));
    columns[x] = {x0, gx - x0};
  }
  // Rows are independent: they are shared over the pool's threads.
  cv::parallel_for_(cv::Range(0, static_cast<int>(picture.height)), [&](const cv::Range& rows) {
    for (uint32_t y = uint32_t(rows.start); y < uint32_t(rows.end); ++y) {
      const double gy = (y + 0.5) * scaleY - 0.5;
      const int64_t y0 = static_cast<int64_t>(std::floor(gy));
      const double fy = gy - y0;
      uint8_t* p = picture.pixels + size_t{y} * picture.width * 4;
      for (uint32_t x = 0; x < picture.width; ++x, p += 4) {
        const int64_t x0 = columns[x].x0;
        const double fx = columns[x].fx;
        const double v = (grid.At(x0, y0) * (1 - fx) + grid.At(x0 + 1, y0) * fx) * (1 - fy) +
                         (grid.At(x0, y0 + 1) * (1 - fx) + grid.At(x0 + 1, y0 + 1) * fx) * fy;
        palette->At((v - low) * toPalette + phase, p[2], p[1], p[0]);
        p[3] = 255;
      }
    }
  });
  return true;
}

}  // namespace imaging::script
