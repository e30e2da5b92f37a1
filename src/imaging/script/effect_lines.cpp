// Effect 1, lines: straight strokes with round ends at random places and angles. Slots: 1 width
// in pixels, 2 length as a percentage of the picture's diagonal; the shared generator slots.
#include <cmath>
#include <numbers>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunLines(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 100000);
  const double radius = Limited(values[1], 0.5, 500) / 2;
  const double diagonal = std::hypot(double(picture.width), double(picture.height));
  const double length = Limited(values[2], 0, 200) / 100 * diagonal;
  EffectRandom random(s.seed);
  PaintLayer layer(picture.width, picture.height);
  for (uint32_t i = 0; i < s.count; ++i) {
    const double cx = random.Unit() * picture.width, cy = random.Unit() * picture.height;
    const double angle = random.Unit() * std::numbers::pi;
    const double half = length * (0.5 + 0.5 * random.Unit()) / 2;
    const Rgb colour = VaryColour(s.colour, s.variation, random);
    layer.Capsule(cx - half * std::cos(angle), cy - half * std::sin(angle),
                  cx + half * std::cos(angle), cy + half * std::sin(angle), radius, colour,
                  s.opacity);
  }
  layer.LayOnto(picture, s.mode);
  return true;
}

}  // namespace imaging::script
