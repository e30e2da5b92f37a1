// Effect 39, glass: the picture seen through a sheet of rippled glass. A smooth random relief
// (two octaves of value noise) bends each pixel's line of sight along the relief's slope, and
// the slopes that face the light catch a little highlight. Slots: 0 seed, 1 strength in pixels
// (how far the view is bent), 2 ripple size in pixels, 5 highlight %.
#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {
namespace {

float Smooth(float t) { return t * t * (3 - 2 * t); }

// Smooth value noise of the given cell size, 0..1, with cell corners from the seed.
float ValueNoise(uint64_t seed, uint64_t level, double x, double y, double cell) {
  const double u = x / cell, v = y / cell;
  const int64_t ix = static_cast<int64_t>(std::floor(u)), iy = static_cast<int64_t>(std::floor(v));
  const float fx = Smooth(float(u - ix)), fy = Smooth(float(v - iy));
  const auto corner = [&](int64_t cx, int64_t cy) {
    return float(double(HashLattice(seed, cx, cy, level) >> 11) / 9007199254740992.0);
  };
  const float top = corner(ix, iy) + (corner(ix + 1, iy) - corner(ix, iy)) * fx;
  const float bottom = corner(ix, iy + 1) + (corner(ix + 1, iy + 1) - corner(ix, iy + 1)) * fx;
  return top + (bottom - top) * fy;
}

}  // namespace

bool RunGlass(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const uint64_t seed = SeedFromValue(values[0]);
  const double strength = Limited(values[1], 0, 1000);
  const double cell = Limited(values[2], 2, 4096);
  const double highlight = Limited(values[5], 0, 100) / 100;
  const int64_t w = picture.width, h = picture.height;
  // The relief one pixel beyond each side, for the slopes at the edges.
  const int64_t rw = w + 2, rh = h + 2;
  std::vector<float> relief(size_t(rw * rh));
  for (int64_t y = 0; y < rh; ++y)
    for (int64_t x = 0; x < rw; ++x)
      relief[size_t(y * rw + x)] = ValueNoise(seed, 1, double(x), double(y), cell) * 0.7f +
                                   ValueNoise(seed, 2, double(x), double(y), cell / 2.5) * 0.3f;
  const std::vector<uint8_t> source(picture.pixels, picture.pixels + size_t(w * h * 4));
  const auto sample = [&](double sx, double sy, int c) {
    // Bilinear, the picture's edge pixels repeated beyond it.
    sx = std::clamp(sx, 0.0, double(w - 1)), sy = std::clamp(sy, 0.0, double(h - 1));
    const int64_t x0 = int64_t(sx), y0 = int64_t(sy);
    const int64_t x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
    const double fx = sx - x0, fy = sy - y0;
    const auto px = [&](int64_t x, int64_t y) {
      return double(source[size_t((y * w + x) * 4 + c)]);
    };
    return (px(x0, y0) * (1 - fx) + px(x1, y0) * fx) * (1 - fy) +
           (px(x0, y1) * (1 - fx) + px(x1, y1) * fx) * fy;
  };
  for (int64_t y = 0; y < h; ++y)
    for (int64_t x = 0; x < w; ++x) {
      const auto r = [&](int64_t dx, int64_t dy) {
        return relief[size_t((y + 1 + dy) * rw + x + 1 + dx)];
      };
      // The slope per ripple: about 1 at its steepest, whatever the ripple size.
      const double gx = (r(1, 0) - r(-1, 0)) * 0.5 * cell, gy = (r(0, 1) - r(0, -1)) * 0.5 * cell;
      const double light = std::clamp(-(gx + gy) * 0.7071 * highlight * 0.5, -0.5, 0.5);
      uint8_t* p = picture.pixels + size_t(y * w + x) * 4;
      for (int c = 0; c < 4; ++c) {
        double value = sample(x + gx * strength, y + gy * strength, c);
        if (c < 3) value = light > 0 ? value + (255 - value) * light : value * (1 + light);
        p[c] = uint8_t(std::clamp(value, 0.0, 255.0) + 0.5);
      }
    }
  return true;
}

}  // namespace imaging::script
