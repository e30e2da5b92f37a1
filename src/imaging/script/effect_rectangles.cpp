// Effect 3, rectangles: filled or outlined rectangles of random size and shape. Slots: 1 largest
// side as a percentage of the picture's shorter side, 2 outline width in pixels (0 fills them),
// 7 greatest tilt in degrees (0 keeps them square to the picture); the shared generator slots.
#include <algorithm>
#include <numbers>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunRectangles(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 100000);
  const double shorter = std::min(picture.width, picture.height);
  const double largest = std::max(1.0, Limited(values[1], 0, 100) / 100 * shorter);
  const double halfWidth = Limited(values[2], 0, 500) / 2;
  const double tilt = Limited(values[7], 0, 180) * std::numbers::pi / 180;
  EffectRandom random(s.seed);
  PaintLayer layer(picture.width, picture.height);
  for (uint32_t i = 0; i < s.count; ++i) {
    const double cx = random.Unit() * picture.width, cy = random.Unit() * picture.height;
    const double hx = largest * (0.1 + 0.9 * random.Unit()) / 2;
    const double hy = largest * (0.1 + 0.9 * random.Unit()) / 2;
    const double angle = (random.Unit() * 2 - 1) * tilt;
    const Rgb colour = VaryColour(s.colour, s.variation, random);
    layer.Box(cx, cy, hx, hy, angle, halfWidth, colour, s.opacity);
  }
  layer.LayOnto(picture, s.mode);
  return true;
}

}  // namespace imaging::script
