// Effect 2, circles: discs or rings of random size at random places. Slots: 1 largest radius as
// a percentage of the picture's shorter side, 2 ring line width in pixels (0 fills the discs);
// the shared generator slots.
#include <algorithm>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunCircles(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 100000);
  const double shorter = std::min(picture.width, picture.height);
  const double largest = std::max(0.5, Limited(values[1], 0, 100) / 100 * shorter);
  const double halfWidth = Limited(values[2], 0, 500) / 2;
  EffectRandom random(s.seed);
  PaintLayer layer(picture.width, picture.height);
  for (uint32_t i = 0; i < s.count; ++i) {
    const double cx = random.Unit() * picture.width, cy = random.Unit() * picture.height;
    // Small circles are commoner than large ones, as in a spatter.
    const double u = random.Unit();
    const double radius = largest * (0.15 + 0.85 * u * u);
    const Rgb colour = VaryColour(s.colour, s.variation, random);
    if (halfWidth > 0)
      layer.Ring(cx, cy, radius, halfWidth, colour, s.opacity);
    else
      layer.Disc(cx, cy, radius, colour, s.opacity);
  }
  layer.LayOnto(picture, s.mode);
  return true;
}

}  // namespace imaging::script
