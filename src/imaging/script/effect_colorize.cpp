// Effect 28, colorize: gives every pixel the hue and saturation of one colour, keeping its own
// lightness, as a toned photograph. Slots: 4 colour (packed red | green << 8 | blue << 16), 1
// amount % (how far each pixel moves to its toned colour). Alpha is kept.
#include <algorithm>
#include <cmath>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {
namespace {

struct HueSaturation {
  double hue;  // 0..6, a sixth of the wheel a unit
  double saturation;
};

HueSaturation HueSaturationOf(const Rgb& c) {
  const double r = c.red / 255, g = c.green / 255, b = c.blue / 255;
  const double high = std::max({r, g, b}), low = std::min({r, g, b}), chroma = high - low;
  const double lightness = (high + low) / 2;
  if (chroma <= 0) return {0, 0};
  double hue = high == r   ? std::fmod((g - b) / chroma + 6, 6.0)
               : high == g ? (b - r) / chroma + 2
                           : (r - g) / chroma + 4;
  return {hue, chroma / (1 - std::fabs(2 * lightness - 1))};
}

// HSL to one channel (n = 0 red, 8 green, 4 blue), the closed form of the HSL hexcone.
double Channel(int n, double hue, double saturation, double lightness) {
  const double k = std::fmod(n + hue * 2, 12.0);
  const double a = saturation * std::min(lightness, 1 - lightness);
  return lightness - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
}

}  // namespace

bool RunColorize(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const HueSaturation tone = HueSaturationOf(RgbFromPacked(BitsFromValue(values[4])));
  const double amount = Limited(values[1], 0, 100) / 100;
  uint8_t table[256][3];  // the toned colour of each lightness
  for (int l = 0; l < 256; ++l) {
    const double lightness = l / 255.0;
    table[l][0] = uint8_t(Channel(4, tone.hue, tone.saturation, lightness) * 255 + 0.5);
    table[l][1] = uint8_t(Channel(8, tone.hue, tone.saturation, lightness) * 255 + 0.5);
    table[l][2] = uint8_t(Channel(0, tone.hue, tone.saturation, lightness) * 255 + 0.5);
  }
  const int32_t weight = static_cast<int32_t>(amount * 256 + 0.5);
  const size_t count = size_t{picture.width} * picture.height;
  for (uint8_t* p = picture.pixels; p < picture.pixels + count * 4; p += 4) {
    const int high = std::max({p[0], p[1], p[2]}), low = std::min({p[0], p[1], p[2]});
    const uint8_t* toned = table[(high + low + 1) / 2];
    for (int c = 0; c < 3; ++c) p[c] = uint8_t(p[c] + ((toned[c] - p[c]) * weight) / 256);
  }
  return true;
}

}  // namespace imaging::script
