// Effect 16, waves: rings spreading from several drops, as rain on a pond. Slot 3 the seed
// (where the drops fall), 4 the number of drops (1..16), 5 the wavelength and 6 the amplitude in
// pixels. Each drop's rings fade with distance, over six wavelengths.
#include <algorithm>

#include "imaging/fast_trig.h"
#include "imaging/script/effect_table.h"
#include "imaging/script/script_warp.h"

namespace imaging::script {

bool RunWaves(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const double count = values[4], wavelength = values[5], amplitude = values[6];
  if (!(count >= 1 && count <= 16) || !(wavelength > 0 && wavelength < 1e7) ||
      !(std::fabs(amplitude) < 1e7))
    return false;
  struct Drop {
    double x, y;
  };
  std::vector<Drop> drops(static_cast<size_t>(count));
  EffectRandom random(SeedFromValue(values[3]));
  for (Drop& d : drops) d.x = random.Unit() * picture.width, d.y = random.Unit() * picture.height;
  const double k = 2 * 3.14159265358979323846 / wavelength, fade = 1 / (6 * wavelength);
  return WarpPictureInPlace(picture, values, [&](double x, double y, double* sx, double* sy) {
    *sx = x, *sy = y;
    for (const Drop& d : drops) {
      const double dx = x - d.x, dy = y - d.y;
      const double r = std::sqrt(dx * dx + dy * dy);
      if (r == 0) continue;
      // The first wavelength fades in, so each drop's middle stays whole.
      const double swing =
          amplitude * FastSin(k * r) * std::min(1.0, r / wavelength) / (1 + r * fade);
      *sx += dx / r * swing, *sy += dy / r * swing;
    }
  });
}

}  // namespace imaging::script
