// Effect 24, sine plasma: a few plane waves of whole-number frequencies summed and run through a
// colour palette. Every wave fits the picture a whole number of times, so the picture tiles
// without seams. Slots: 1 highest frequency in waves across the picture (1..64), 2 colour
// cycles through the palette, 7 number of waves (1..16); the shared generator slots (variation
// 100 % gives a rainbow palette, 0 % shades of the colour).
#include <cmath>
#include <numbers>
#include <vector>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"
#include "imaging/script/palette_table.h"

namespace imaging::script {

bool RunSinePlasma(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 0);
  const int highest = static_cast<int>(Limited(values[1], 1, 64));
  const double cycles = Limited(values[2], -100, 100);
  const int waves = static_cast<int>(Limited(values[7], 1, 16));
  EffectRandom random(s.seed);
  constexpr double kTwoPi = 2 * std::numbers::pi;
  // sin(a x + b y + phase) = sin(a x + phase) cos(b y) + cos(a x + phase) sin(b y): one table
  // per axis and wave, two products a pixel.
  const size_t w = picture.width, h = picture.height;
  std::vector<float> sinX(waves * w), cosX(waves * w), sinY(waves * h), cosY(waves * h);
  for (int k = 0; k < waves; ++k) {
    int a = 0, b = 0;
    while (a == 0 && b == 0) {
      a = static_cast<int>(random.Unit() * (2 * highest + 1)) - highest;
      b = static_cast<int>(random.Unit() * (2 * highest + 1)) - highest;
    }
    const double phase = random.Unit() * kTwoPi;
    for (size_t x = 0; x < w; ++x) {
      const double angle = kTwoPi * a * double(x) / w + phase;
      sinX[k * w + x] = float(std::sin(angle)), cosX[k * w + x] = float(std::cos(angle));
    }
    for (size_t y = 0; y < h; ++y) {
      const double angle = kTwoPi * b * double(y) / h;
      sinY[k * h + y] = float(std::sin(angle)), cosY[k * h + y] = float(std::cos(angle));
    }
  }
  const PaletteTable palette(s.colour, s.variation);
  const float scale = float(cycles * 0.5 / waves);
  PaintRowsOnto(picture, s.mode, 0, [&](uint32_t y, uint8_t* row, uint8_t*) {
    for (size_t x = 0; x < w; ++x) {
      float sum = 0;
      for (int k = 0; k < waves; ++k)
        sum += sinX[k * w + x] * cosY[k * h + y] + cosX[k * w + x] * sinY[k * h + y];
      SetOpaquePixel(row + x * 4, palette.At((sum + waves) * scale));
    }
  });
  return true;
}

}  // namespace imaging::script
