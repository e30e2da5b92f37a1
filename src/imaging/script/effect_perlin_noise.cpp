// Effect 11, Perlin noise: gradient noise summed over octaves (each twice as fine and
// persistence times as strong as the last), shaded between two colours. The lattice of every
// octave wraps round the picture, so the picture tiles without seams.
#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "imaging/script/effect_random.h"
#include "imaging/script/effect_table.h"
#include "imaging/script/paint_layer.h"
#include "imaging/script/zeroed_pages.h"

namespace imaging::script {
namespace {

double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Dot product of the lattice point's unit gradient with the offset (dx, dy) from it.
double Corner(uint64_t seed, int64_t ix, int64_t iy, uint64_t octave, double dx, double dy) {
  const double angle = static_cast<double>(HashLattice(seed, ix, iy, octave) >> 11) *
                       (2 * std::numbers::pi / 9007199254740992.0);
  return std::cos(angle) * dx + std::sin(angle) * dy;
}

// Gradient noise at (u, v) in lattice cells; lattice indices wrap at (periodX, periodY).
double GradientNoise(uint64_t seed, uint64_t octave, double u, double v, int64_t periodX,
                     int64_t periodY) {
  const double fu = std::floor(u), fv = std::floor(v);
  const int64_t x0 = static_cast<int64_t>(fu) % periodX, y0 = static_cast<int64_t>(fv) % periodY;
  const int64_t x1 = (x0 + 1) % periodX, y1 = (y0 + 1) % periodY;
  const double dx = u - fu, dy = v - fv;
  const double a = Corner(seed, x0, y0, octave, dx, dy),
               b = Corner(seed, x1, y0, octave, dx - 1, dy);
  const double c = Corner(seed, x0, y1, octave, dx, dy - 1),
               d = Corner(seed, x1, y1, octave, dx - 1, dy - 1);
  const double sx = Fade(dx), sy = Fade(dy);
  return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

// One octave's lattice gradients worked out once (the same cosines and sines Corner computes),
// when the lattice is small enough to hold; otherwise each corner is hashed where it is needed.
class OctaveGradients {
 public:
  OctaveGradients(uint64_t seed, uint64_t octave, int64_t periodX, int64_t periodY)
      : seed_(seed), octave_(octave), periodX_(periodX), periodY_(periodY) {
    if (periodX * periodY > kMaxEntries) return;
    pages_ = std::make_unique<ZeroedPages>(size_t(periodX * periodY) * 2 * sizeof(double));
    table_ = reinterpret_cast<double*>(pages_->data());
    for (int64_t iy = 0; iy < periodY; ++iy)
      for (int64_t ix = 0; ix < periodX; ++ix) {
        const double angle = static_cast<double>(HashLattice(seed, ix, iy, octave) >> 11) *
                             (2 * std::numbers::pi / 9007199254740992.0);
        table_[size_t(iy * periodX + ix) * 2] = std::cos(angle);
        table_[size_t(iy * periodX + ix) * 2 + 1] = std::sin(angle);
      }
  }
  // Where a pixel column or row falls on the lattice: its two lattice lines, the offset from the
  // first and the faded weight (the same arithmetic as GradientNoise, worked out once).
  struct Step {
    int64_t low, high;
    double offset, weight;
  };
  Step AxisStep(double u, int64_t period) const {
    const double fu = std::floor(u);
    const int64_t low = static_cast<int64_t>(fu) % period;
    return {low, (low + 1) % period, u - fu, Fade(u - fu)};
  }
  bool tabled() const { return table_ != nullptr; }
  int64_t periodX() const { return periodX_; }
  int64_t periodY() const { return periodY_; }

  double Noise(double u, double v) const {
    if (!table_) return GradientNoise(seed_, octave_, u, v, periodX_, periodY_);
    return Noise(AxisStep(u, periodX_), AxisStep(v, periodY_));
  }
  double Noise(const Step& sx, const Step& sy) const {
    const auto corner = [&](int64_t ix, int64_t iy, double cx, double cy) {
      const double* g = &table_[size_t(iy * periodX_ + ix) * 2];
      return g[0] * cx + g[1] * cy;
    };
    const double dx = sx.offset, dy = sy.offset;
    const double a = corner(sx.low, sy.low, dx, dy), b = corner(sx.high, sy.low, dx - 1, dy);
    const double c = corner(sx.low, sy.high, dx, dy - 1),
                 d = corner(sx.high, sy.high, dx - 1, dy - 1);
    return (a + (b - a) * sx.weight) * (1 - sy.weight) + (c + (d - c) * sx.weight) * sy.weight;
  }

 private:
  static constexpr int64_t kMaxEntries = int64_t{1} << 21;
  uint64_t seed_, octave_;
  int64_t periodX_, periodY_;
  // cos, sin of each lattice point's gradient, in pages of their own (a fine octave's table is
  // megabytes, which fresh small pages make slow to fill).
  std::unique_ptr<ZeroedPages> pages_;
  double* table_ = nullptr;
};

}  // namespace

bool RunPerlinNoise(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const uint64_t seed = SeedFromValue(values[0]);
  const double feature = std::clamp(values[1], 1.0, 8192.0);
  const int octaves = static_cast<int>(std::clamp(values[2], 1.0, 10.0));
  const double persistence = std::clamp(values[3], 0.0, 100.0) / 100.0;
  const uint32_t low = BitsFromValue(values[4]), high = BitsFromValue(values[5]);

  // Whole cells across the picture, so the lattice wraps exactly at its edges.
  const int64_t cellsX = std::max<int64_t>(1, std::llround(picture.width / feature));
  const int64_t cellsY = std::max<int64_t>(1, std::llround(picture.height / feature));
  double amplitudeSum = 0;
  for (int o = 0; o < octaves; ++o) amplitudeSum += std::pow(persistence, o);

  std::vector<OctaveGradients> gradients;
  std::vector<std::vector<OctaveGradients::Step>> columns(static_cast<size_t>(octaves));
  for (int o = 0; o < octaves; ++o) {
    gradients.emplace_back(seed, o, cellsX << o, cellsY << o);
    if (!gradients.back().tabled()) continue;
    for (uint32_t x = 0; x < picture.width; ++x)
      columns[size_t(o)].push_back(
          gradients.back().AxisStep((x + 0.5) * (cellsX << o) / picture.width, cellsX << o));
  }

  // Rows are independent: they are shared over the pool's threads. Each row adds its octaves
  // in order, column by column.
  ForRowChunks(
      picture.height, size_t{picture.width} * sizeof(double), [&](uint32_t y, uint8_t* scratch) {
        double* sum = reinterpret_cast<double*>(scratch);
        std::fill(sum, sum + picture.width, 0.0);
        double amplitude = 1;
        for (int o = 0; o < octaves; ++o, amplitude *= persistence) {
          const OctaveGradients& g = gradients[size_t(o)];
          const int64_t px = cellsX << o, py = cellsY << o;
          if (!g.tabled()) {
            for (uint32_t x = 0; x < picture.width; ++x) {
              const double u = (x + 0.5) * px / picture.width, v = (y + 0.5) * py / picture.height;
              sum[x] += amplitude * g.Noise(u, v);
            }
            continue;
          }
          const OctaveGradients::Step rowStep = g.AxisStep((y + 0.5) * py / picture.height, py);
          const OctaveGradients::Step* column = columns[size_t(o)].data();
          for (uint32_t x = 0; x < picture.width; ++x)
            sum[x] += amplitude * g.Noise(column[x], rowStep);
        }
        uint8_t* p = picture.pixels + size_t{y} * picture.width * 4;
        for (uint32_t x = 0; x < picture.width; ++x, p += 4) {
          // Two-dimensional gradient noise stays within about +-0.7, and summed octaves mostly
          // within half that: the stretch below uses the whole range between the colours, clipping
          // rarely.
          const double t = std::clamp(0.5 + 1.2 * sum[x] / amplitudeSum, 0.0, 1.0);
          for (int c = 0; c < 3; ++c) {  // colours are packed red first; the picture is blue first
            const double a = (low >> (8 * c)) & 0xFF, b = (high >> (8 * c)) & 0xFF;
            p[2 - c] = static_cast<uint8_t>(a + (b - a) * t + 0.5);
          }
          p[3] = 255;
        }
      });
  return true;
}

}  // namespace imaging::script
