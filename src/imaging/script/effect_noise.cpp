// Effect 21, noise: moves every pixel toward a random colour by the amount (100 % paints pure
// noise, as a generator; less grains an existing picture). Alpha moves toward opaque by the same
// amount.
#include <algorithm>

#include "imaging/script/effect_random.h"
#include "imaging/script/effect_table.h"

namespace imaging::script {

bool RunNoise(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  EffectRandom random(SeedFromValue(values[0]));
  const int32_t amount = static_cast<int32_t>(std::clamp(values[1], 0.0, 100.0) * 256 / 100);
  const bool monochrome = values[2] != 0;
  const size_t pixels = size_t{picture.width} * picture.height;
  uint8_t* p = picture.pixels;
  for (size_t i = 0; i < pixels; ++i, p += 4) {
    const uint64_t bits = random.Next();
    for (int c = 0; c < 3; ++c) {
      const int32_t target = static_cast<int32_t>((bits >> (monochrome ? 0 : 8 * c)) & 0xFF);
      p[c] = static_cast<uint8_t>(p[c] + ((target - p[c]) * amount) / 256);
    }
    p[3] = static_cast<uint8_t>(p[3] + ((255 - p[3]) * amount) / 256);
  }
  return true;
}

}  // namespace imaging::script
