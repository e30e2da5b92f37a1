// Effect 49, kaleidoscope: the wedge of 360 / n degrees at the mirror angle is repeated round the
// centre, every other copy mirrored, as between the mirrors of a kaleidoscope. Slot 3 the number
// of wedges (2..64), 4 the mirror angle in degrees, 5 and 6 the centre in percent of the width
// and height.
#include "imaging/script/effect_table.h"
#include "imaging/script/script_warp.h"

namespace imaging::script {

bool RunKaleidoscope(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  constexpr double kPi = 3.14159265358979323846;
  const double wedges = std::floor(values[3]);
  const double start = values[4] * (kPi / 180);
  const double cx = values[5] / 100 * picture.width, cy = values[6] / 100 * picture.height;
  if (!(wedges >= 2 && wedges <= 64) || !Finite({start, cx, cy}) || std::fabs(values[4]) > 1e6)
    return false;
  const double wedge = 2 * kPi / wedges;
  return WarpPictureInPlace(picture, values, [&](double x, double y, double* sx, double* sy) {
    const double dx = x - cx, dy = y - cy;
    const double r = std::sqrt(dx * dx + dy * dy);
    // The angle within a pair of wedges, folded back into the first.
    double a = std::fmod(std::atan2(dy, dx) - start, 2 * wedge);
    if (a < 0) a += 2 * wedge;
    if (a > wedge) a = 2 * wedge - a;
    *sx = cx + r * std::cos(a + start);
    *sy = cy + r * std::sin(a + start);
  });
}

}  // namespace imaging::script
