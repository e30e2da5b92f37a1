// Effect 42, pattern: a repeating two-colour pattern on a square cell, each cell's shade varied a
// little at random. Slots: 1 cell size in pixels, 2 kind (0 checks, 1 horizontal stripes, 2
// vertical stripes, 3 diagonal stripes, 4 dots, 5 grid lines, 6 diamonds, 7 bricks), 7 second
// colour (packed like 4, the first); the shared generator slots, 5 being how much each cell's
// shade varies.
#include <algorithm>
#include <cmath>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {
namespace {

enum class Kind { kChecks, kRows, kColumns, kDiagonals, kDots, kGrid, kDiamonds, kBricks };
constexpr int kKinds = 8;

// How much of the first colour lies at (u, v) inside a cell of side 1 (cell coordinates c, r),
// softened over about one pixel (`pixel`, the side of a pixel in cell units).
double FirstColour(Kind kind, double u, double v, int64_t c, int64_t r, double pixel) {
  const auto edge = [pixel](double inside) { return std::clamp(inside / pixel + 0.5, 0.0, 1.0); };
  switch (kind) {
    case Kind::kChecks:
      return ((c + r) & 1) ? 0 : 1;
    case Kind::kRows:
      return edge(std::min(v, 0.5 - v));
    case Kind::kColumns:
      return edge(std::min(u, 0.5 - u));
    case Kind::kDiagonals: {
      const double t = u + v - std::floor(u + v);
      return edge(std::min(t, 0.5 - t) * 0.7071);
    }
    case Kind::kDots:
      return edge(0.32 - std::hypot(u - 0.5, v - 0.5));
    case Kind::kGrid:
      return edge(0.06 - std::min({u, 1 - u, v, 1 - v}));
    case Kind::kDiamonds:
      return edge(0.45 - (std::fabs(u - 0.5) + std::fabs(v - 0.5)) * 0.7071);
    case Kind::kBricks: {
      // Courses half a cell high; every other course shifted by half a brick; mortar lines.
      const double course = v * 2 - std::floor(v * 2);
      const double along = u + ((int64_t(std::floor(v * 2)) & 1) ? 0.5 : 0.0);
      const double joint = along - std::floor(along);
      return edge(0.04 - std::min({course * 0.5, (1 - course) * 0.5, joint, 1 - joint}));
    }
  }
  return 0;
}

}  // namespace

bool RunPattern(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 0);
  const double cell = Limited(values[1], 2, 4096);
  const Kind kind = static_cast<Kind>(static_cast<int>(Limited(values[2], 0, kKinds - 1)));
  const Rgb second = RgbFromPacked(BitsFromValue(values[7]));
  const double pixel = 1 / cell;
  PaintRowsOnto(picture, s.mode, 0, [&](uint32_t y, uint8_t* row, uint8_t*) {
    const double cy = (y + 0.5) / cell;
    const int64_t r = static_cast<int64_t>(std::floor(cy));
    // A cell's shade is the same across it: the last one is kept until the key changes.
    int64_t lastX = 0, lastY = 0;
    double shade = 0;
    bool known = false;
    for (uint32_t x = 0; x < picture.width; ++x) {
      const double cx = (x + 0.5) / cell;
      const int64_t c = static_cast<int64_t>(std::floor(cx));
      const double first = FirstColour(kind, cx - c, cy - r, c, r, pixel);
      // Each cell's own shade, from the seed and the cell alone; bricks are shaded brick by
      // brick, their courses being half a cell high and every other one shifted.
      int64_t keyX = c, keyY = r;
      if (kind == Kind::kBricks) {
        keyY = static_cast<int64_t>(std::floor(cy * 2));
        keyX = static_cast<int64_t>(std::floor(cx + ((keyY & 1) ? 0.5 : 0.0)));
      }
      if (!known || keyX != lastX || keyY != lastY) {
        const double unit = double(HashLattice(s.seed, keyX, keyY, 42) >> 11) / 9007199254740992.0;
        shade = 1 + (unit - 0.5) * s.variation;
        lastX = keyX, lastY = keyY, known = true;
      }
      const Rgb mixed{float(second.red + (s.colour.red - second.red) * first),
                      float(second.green + (s.colour.green - second.green) * first),
                      float(second.blue + (s.colour.blue - second.blue) * first)};
      BlendPixel(row + size_t{x} * 4, Shade(mixed, shade), s.opacity);
    }
  });
  return true;
}

}  // namespace imaging::script
