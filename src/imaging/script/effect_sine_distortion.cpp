// Effect 13, sine distortion: rows swing sideways and columns up and down along sine waves.
// Slot 3 the amplitude in pixels, 4 the wavelength in pixels, 5 the phase in degrees.
#include "imaging/fast_trig.h"
#include "imaging/script/effect_table.h"
#include "imaging/script/script_warp.h"

namespace imaging::script {

bool RunSineDistortion(const Picture& picture,
                       const std::array<double, kScriptValueSlots>& values) {
  const double amplitude = values[3], wavelength = values[4];
  const double phase = values[5] * (3.14159265358979323846 / 180);
  if (!Finite({amplitude, phase}) || std::fabs(amplitude) > 1e7 || std::fabs(values[5]) > 1e6 ||
      !(wavelength > 0 && wavelength < 1e7))
    return false;
  const double k = 2 * 3.14159265358979323846 / wavelength;
  return WarpPictureInPlace(picture, values, [&](double x, double y, double* sx, double* sy) {
    *sx = x + amplitude * FastSin(k * y + phase);
    *sy = y + amplitude * FastSin(k * x + phase);
  });
}

}  // namespace imaging::script
