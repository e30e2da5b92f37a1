// Effect 43, points: round dots scattered at random, like stars or a spray. Slots: 1 radius in
// pixels, 2 radius variation % (each dot between that much smaller and the radius); the shared
// generator slots.
#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunPoints(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 1000000);
  const double radius = Limited(values[1], 0.3, 500);
  const double spread = Limited(values[2], 0, 100) / 100;
  EffectRandom random(s.seed);
  PaintLayer layer(picture.width, picture.height);
  for (uint32_t i = 0; i < s.count; ++i) {
    const double cx = random.Unit() * picture.width, cy = random.Unit() * picture.height;
    const double r = radius * (1 - spread * random.Unit());
    const Rgb colour = VaryColour(s.colour, s.variation, random);
    layer.Disc(cx, cy, r, colour, s.opacity);
  }
  layer.LayOnto(picture, s.mode);
  return true;
}

}  // namespace imaging::script
