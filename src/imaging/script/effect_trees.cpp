// Effect 58, trees: trees that grow up from the bottom edge, each branch forking into two or
// three thinner, shorter ones that lean a little back toward the light, with clusters of leaves
// at the twigs. Slots: 1 height as a percentage of the picture's height, 2 fork angle in
// degrees, 7 leaf colour (packed like 4, the bark colour), 8 forking levels (1..12), 9 foliage %
// (0 leaves them bare); the shared generator slots.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {
namespace {

constexpr double kUp = -std::numbers::pi / 2;

struct TreeStyle {
  Rgb bark;
  Rgb leaf;
  double forkAngle;
  double foliage;  // 0..1
  double leafRadius;
  float opacity;
};

class TreeGrower {
 public:
  TreeGrower(PaintLayer& layer, EffectRandom& random, const TreeStyle& style)
      : layer_(layer), random_(random), style_(style) {}

  void Branch(double x, double y, double angle, double length, double radius, int level) {
    // Two pieces with a slight kink, so that no branch is ruler-straight.
    const double kink = (random_.Unit() - 0.5) * 0.3;
    const double mx = x + length * 0.5 * std::cos(angle + kink);
    const double my = y + length * 0.5 * std::sin(angle + kink);
    const double ex = mx + length * 0.5 * std::cos(angle - kink * 0.5);
    const double ey = my + length * 0.5 * std::sin(angle - kink * 0.5);
    const double tip = radius * 0.72;
    layer_.Tube(x, y, mx, my, radius, style_.bark, style_.opacity);
    layer_.Tube(mx, my, ex, ey, (radius + tip) / 2, style_.bark, style_.opacity);
    if (level <= 0 || tip < 0.25) {
      Leaves(ex, ey);
      return;
    }
    if (level <= 2) Leaves(mx, my);
    const int forks = random_.Unit() < 0.3 ? 3 : 2;
    for (int f = 0; f < forks; ++f) {
      // Spread the forks across the fork angle, then pull them a tenth of the way upright.
      const double side = forks == 2 ? (f == 0 ? -1.0 : 1.0) : f - 1.0;
      double child = angle + side * style_.forkAngle * (0.7 + 0.5 * random_.Unit()) +
                     (random_.Unit() - 0.5) * 0.25;
      child += (kUp - child) * 0.1;
      const double shrink = 0.66 + 0.14 * random_.Unit();
      Branch(ex, ey, child, length * shrink, tip, level - 1);
    }
  }

 private:
  void Leaves(double x, double y) {
    for (int k = 0; k < 6; ++k) {
      if (random_.Unit() >= style_.foliage) {
        random_.Unit(), random_.Unit(), random_.Unit();
        continue;
      }
      const double a = random_.Unit() * 2 * std::numbers::pi;
      const double d = random_.Unit() * style_.leafRadius * 1.8;
      const Rgb leaf = Shade(style_.leaf, 0.65 + 0.55 * random_.Unit());
      layer_.Disc(x + d * std::cos(a), y + d * std::sin(a), style_.leafRadius, leaf,
                  style_.opacity * 0.92f);
    }
  }

  PaintLayer& layer_;
  EffectRandom& random_;
  const TreeStyle& style_;
};

}  // namespace

bool RunTrees(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 1000);
  const double height = std::max(2.0, Limited(values[1], 0, 200) / 100 * picture.height);
  const int levels = static_cast<int>(Limited(values[8], 1, 12));
  EffectRandom random(s.seed);
  PaintLayer layer(picture.width, picture.height);
  for (uint32_t i = 0; i < s.count; ++i) {
    TreeStyle style;
    style.bark = VaryColour(s.colour, s.variation, random);
    style.leaf = VaryColour(RgbFromPacked(BitsFromValue(values[7])), s.variation * 0.5, random);
    style.forkAngle = Limited(values[2], 0, 90) * std::numbers::pi / 180;
    style.foliage = Limited(values[9], 0, 100) / 100;
    const double size = height * (0.7 + 0.3 * random.Unit());
    style.leafRadius = std::max(1.0, size * 0.012);
    style.opacity = s.opacity;
    // The branches shrink by about 0.73 a level, so the whole tree is about 3.5 trunks tall.
    const double trunk = size / 3.5;
    const double x = (0.08 + 0.84 * random.Unit()) * picture.width;
    TreeGrower grower(layer, random, style);
    grower.Branch(x, picture.height + trunk * 0.05, kUp + (random.Unit() - 0.5) * 0.15, trunk,
                  std::max(0.75, size * 0.035), levels);
  }
  layer.LayOnto(picture, s.mode);
  return true;
}

}  // namespace imaging::script
