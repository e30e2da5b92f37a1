// Effect 37, worms: round, ringed bodies that wander in smooth curves, thick in the middle and
// tapering to the tail. Slots: 1 thickness in pixels, 2 length as a percentage of the picture's
// diagonal, 7 curliness %; the shared generator slots.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunWorms(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 10000);
  const double thickness = Limited(values[1], 1, 500);
  const double diagonal = std::hypot(double(picture.width), double(picture.height));
  const double length = std::max(thickness, Limited(values[2], 0, 400) / 100 * diagonal);
  const double curl = Limited(values[7], 0, 100) / 100;
  const double radius = thickness / 2;
  const double step = std::max(0.5, radius / 3);
  const size_t steps = static_cast<size_t>(std::min(length / step, 100000.0)) + 1;
  EffectRandom random(s.seed);
  PaintLayer layer(picture.width, picture.height);
  struct Joint {
    double x, y, r;
  };
  std::vector<Joint> body(steps + 1);
  for (uint32_t i = 0; i < s.count; ++i) {
    double x = random.Unit() * picture.width, y = random.Unit() * picture.height;
    double heading = random.Unit() * 2 * std::numbers::pi, turn = 0;
    const Rgb colour = VaryColour(s.colour, s.variation, random);
    for (size_t k = 0; k <= steps; ++k) {
      const double t = double(k) / steps;
      // Blunt head, longer thinning tail.
      const double taper = std::min({1.0, t / 0.25, (1 - t) / 0.08});
      body[k] = {x, y, radius * (0.35 + 0.65 * std::sqrt(std::max(0.0, taper)))};
      // The rate of turning itself wanders, so that the body bends in long smooth arcs.
      turn = turn * 0.95 + (random.Unit() - 0.5) * 0.6 * curl * step / radius;
      heading += turn;
      x += step * std::cos(heading);
      y += step * std::sin(heading);
    }
    // A dark rim under the whole body, then the lit tube from tail to head, ringed every
    // body-width by a slight darkening.
    for (size_t k = 0; k < steps; ++k)
      layer.Capsule(body[k].x, body[k].y, body[k + 1].x, body[k + 1].y, body[k].r + 1,
                    Shade(colour, 0.3), s.opacity, k == 0);
    for (size_t k = 0; k < steps; ++k) {
      const double ring = 0.5 + 0.5 * std::cos(2 * std::numbers::pi * k * step / (radius * 0.9));
      layer.Tube(body[k].x, body[k].y, body[k + 1].x, body[k + 1].y, body[k].r,
                 Shade(colour, 1 - 0.18 * ring * ring), s.opacity);
    }
  }
  layer.LayOnto(picture, s.mode);
  return true;
}

}  // namespace imaging::script
