// Effect 6, twirl: a whirl about a centre. Slot 3 the turn in the middle in degrees (clockwise
// as seen), 4 the radius in percent of half the picture's diagonal, 5 and 6 the centre in
// percent of the width and height. The turn eases off smoothly (a smoothstep of the distance) to
// nothing at the radius.
#include "imaging/fast_trig.h"
#include "imaging/script/effect_table.h"
#include "imaging/script/script_warp.h"

namespace imaging::script {

bool RunTwirl(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const double turn = values[3] * (3.14159265358979323846 / 180);
  const double radius =
      values[4] / 100 * 0.5 * std::hypot(double(picture.width), double(picture.height));
  const double cx = values[5] / 100 * picture.width, cy = values[6] / 100 * picture.height;
  if (!Finite({turn, cx, cy}) || std::fabs(values[3]) > 1e6 || !(radius > 0 && radius < 1e7))
    return false;
  return WarpPictureInPlace(picture, values, [&](double x, double y, double* sx, double* sy) {
    const double dx = x - cx, dy = y - cy;
    const double d = std::sqrt(dx * dx + dy * dy) / radius;
    *sx = x, *sy = y;
    if (d >= 1) return;
    const double t = 1 - d;
    double s, c;
    FastSinCos(turn * t * t * (3 - 2 * t), &s, &c);
    *sx = cx + c * dx + s * dy;
    *sy = cy - s * dx + c * dy;
  });
}

}  // namespace imaging::script
