// Effect 56, scratch: fine scratches over the picture, as on old film or worn metal: thin,
// slightly wandering lines that fade in and out along their length. Slots: 0 seed, 1 length as
// a percentage of the picture's diagonal, 2 strength % (opacity at a scratch's middle), 3 count,
// 4 colour (packed red | green << 8 | blue << 16), 5 width in pixels.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunScratch(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  EffectRandom random(SeedFromValue(values[0]));
  const double diagonal = std::hypot(double(picture.width), double(picture.height));
  const double length = Limited(values[1], 0, 200) / 100 * diagonal;
  const float strength = float(Limited(values[2], 0, 100) / 100);
  const uint32_t count = uint32_t(Limited(values[3], 0, 100000));
  const Rgb colour = RgbFromPacked(BitsFromValue(values[4]));
  const double radius = Limited(values[5], 0.2, 50) / 2;
  constexpr double kStep = 4;
  PaintLayer layer(picture.width, picture.height);
  for (uint32_t i = 0; i < count; ++i) {
    double x = random.Unit() * picture.width, y = random.Unit() * picture.height;
    double heading = random.Unit() * 2 * std::numbers::pi, bend = 0;
    const double own = length * (0.3 + 0.7 * random.Unit());
    const float opacity = strength * float(0.4 + 0.6 * random.Unit());
    const int steps = std::max(1, int(own / kStep));
    for (int k = 0; k < steps; ++k) {
      bend = bend * 0.8 + (random.Unit() - 0.5) * 0.01;
      heading += bend;
      const double nx = x + kStep * std::cos(heading), ny = y + kStep * std::sin(heading);
      const float fade = float(std::sin(std::numbers::pi * (k + 0.5) / steps));
      layer.Capsule(x, y, nx, ny, radius, colour, opacity * fade, k == 0);
      x = nx, y = ny;
    }
  }
  layer.LayOnto(picture, MixMode::kNormal);
  return true;
}

}  // namespace imaging::script
