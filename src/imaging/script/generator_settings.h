// The value slots every generator reads the same way: 0 seed, 3 count, 4 colour (packed red |
// green << 8 | blue << 16), 5 colour variation %, 6 opacity %, 14 mix mode. The others are each
// generator's own.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/script/effect_random.h"
#include "imaging/script/paint_layer.h"

namespace imaging::script {

struct GeneratorSettings {
  uint64_t seed;
  uint32_t count;
  Rgb colour;
  double variation;  // 0..1: how far each shape's colour may stray toward a random one
  float opacity;     // 0..1
  MixMode mode;
};

// A value limited to lo..hi (lo for a value that is not a number).
double Limited(double value, double lo, double hi);

// The shared slots; the count is limited to maxCount.
GeneratorSettings ReadGeneratorSettings(const std::array<double, kScriptValueSlots>& values,
                                        uint32_t maxCount);

// The colour moved toward a random colour by up to the variation.
Rgb VaryColour(const Rgb& colour, double variation, EffectRandom& random);

// The colour scaled by a factor (1 keeps it), each channel limited to 0..255.
Rgb Shade(const Rgb& colour, double factor);

// A palette position t (cycles wrap at whole numbers) as a colour: with variation 1 a rainbow,
// with 0 a ramp from black through the colour to white, between the two a mixture.
Rgb PaletteColour(double t, const Rgb& colour, double variation);

}  // namespace imaging::script
