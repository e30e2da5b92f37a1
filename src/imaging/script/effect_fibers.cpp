// Effect 59, fibers: many long, thin, translucent strands running mostly one way and bending
// gently, as in paper pulp, hair or brushed metal. Slots: 1 length as a percentage of the
// picture's diagonal, 2 direction in degrees (0 runs left to right), 7 direction spread in
// degrees, 8 strand width in pixels; the shared generator slots.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunFibers(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 1000000);
  const double diagonal = std::hypot(double(picture.width), double(picture.height));
  const double length = Limited(values[1], 0, 200) / 100 * diagonal;
  constexpr double kDegree = std::numbers::pi / 180;
  const double direction = Limited(values[2], -3600, 3600) * kDegree;
  const double spread = Limited(values[7], 0, 180) * kDegree;
  const double width = Limited(values[8], 0.2, 50);
  constexpr double kStep = 6;
  EffectRandom random(s.seed);
  PaintLayer layer(picture.width, picture.height);
  for (uint32_t i = 0; i < s.count; ++i) {
    // Start anywhere, a little outside too, so that the edges are as full as the middle.
    double x = (random.Unit() * 1.2 - 0.1) * picture.width;
    double y = (random.Unit() * 1.2 - 0.1) * picture.height;
    const double u = random.Unit() - 0.5, v = random.Unit() - 0.5;
    double heading = direction + (u + v) * spread;  // most strands near the direction
    double bend = 0;
    const double radius = width / 2 * (0.6 + 0.6 * random.Unit());
    const float opacity = s.opacity * static_cast<float>(0.2 + 0.5 * random.Unit());
    const Rgb colour = Shade(VaryColour(s.colour, s.variation, random), 0.75 + 0.5 * random.Unit());
    const double own = length * (0.4 + 0.6 * random.Unit());
    const int steps = std::max(1, static_cast<int>(own / kStep));
    for (int k = 0; k < steps; ++k) {
      bend = bend * 0.9 + (random.Unit() - 0.5) * 0.04;
      heading += bend;
      const double nx = x + kStep * std::cos(heading), ny = y + kStep * std::sin(heading);
      layer.Capsule(x, y, nx, ny, radius, colour, opacity, k == 0);
      x = nx, y = ny;
    }
  }
  layer.LayOnto(picture, s.mode);
  return true;
}

}  // namespace imaging::script
