#include "imaging/script/generator_settings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace imaging::script {

double Limited(double value, double lo, double hi) {
  if (!(value >= lo)) return lo;
  return std::min(value, hi);
}

GeneratorSettings ReadGeneratorSettings(const std::array<double, kScriptValueSlots>& values,
                                        uint32_t maxCount) {
  GeneratorSettings s;
  s.seed = SeedFromValue(values[0]);
  s.count = static_cast<uint32_t>(Limited(values[3], 0, maxCount));
  s.colour = RgbFromPacked(BitsFromValue(values[4]));
  s.variation = Limited(values[5], 0, 100) / 100;
  s.opacity = static_cast<float>(Limited(values[6], 0, 100) / 100);
  s.mode = MixModeFromValue(values[14]);
  return s;
}

Rgb VaryColour(const Rgb& colour, double variation, EffectRandom& random) {
  // Always draw three numbers so that the shapes' positions do not depend on the variation.
  const double r = random.Unit() * 255, g = random.Unit() * 255, b = random.Unit() * 255;
  const auto toward = [variation](float from, double to) {
    return static_cast<float>(from + (to - from) * variation);
  };
  return {toward(colour.red, r), toward(colour.green, g), toward(colour.blue, b)};
}

Rgb Shade(const Rgb& colour, double factor) {
  const auto scale = [factor](float c) {
    return static_cast<float>(std::clamp(c * factor, 0.0, 255.0));
  };
  return {scale(colour.red), scale(colour.green), scale(colour.blue)};
}

Rgb PaletteColour(double t, const Rgb& colour, double variation) {
  constexpr double kTwoPi = 2 * std::numbers::pi;
  const double rainbow[3] = {0.5 + 0.5 * std::cos(kTwoPi * t),
                             0.5 + 0.5 * std::cos(kTwoPi * (t + 1.0 / 3.0)),
                             0.5 + 0.5 * std::cos(kTwoPi * (t + 2.0 / 3.0))};
  // The ramp runs black -> colour -> white and back as t goes round one cycle.
  const double s = 0.5 - 0.5 * std::cos(kTwoPi * t);
  const double base[3] = {colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0};
  float out[3];
  for (int c = 0; c < 3; ++c) {
    const double ramp = s < 0.5 ? base[c] * 2 * s : base[c] + (1 - base[c]) * (2 * s - 1);
    out[c] = static_cast<float>((ramp + (rainbow[c] - ramp) * variation) * 255);
  }
  return {out[0], out[1], out[2]};
}

}  // namespace imaging::script
