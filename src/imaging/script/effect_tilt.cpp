// Effect 54, tilt: the picture as a card turned in space about its middle lines and seen in
// perspective. Slot 3 the tilt about the level line in degrees (positive: the top leans away),
// 4 the turn about the upright line (positive: the right side leans away), 5 the eye's distance
// in picture diagonals. Both angles are limited to 85 degrees each way.
#include "imaging/script/effect_table.h"
#include "imaging/script/script_warp.h"

namespace imaging::script {

bool RunTilt(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  constexpr double kPi = 3.14159265358979323846;
  const double tilt = values[3] * (kPi / 180), turn = values[4] * (kPi / 180);
  const double diagonal = std::hypot(double(picture.width), double(picture.height));
  const double eye = values[5] * diagonal;
  if (!(std::fabs(values[3]) <= 85 && std::fabs(values[4]) <= 85) || !(eye > 0 && eye < 1e9))
    return false;
  const double cx = picture.width / 2.0, cy = picture.height / 2.0;
  // The card's axes after the tilt (about x) and then the turn (about y), in eye space with z
  // pointing away from the viewer.
  const double ct = std::cos(tilt), st = std::sin(tilt), cp = std::cos(turn), sp = std::sin(turn);
  const double ux[3] = {cp, 0, sp};              // the card's x axis
  const double uy[3] = {-st * sp, ct, st * cp};  // its y axis (down)
  // A view ray through screen point (px, py, eye) meets the card where
  // eye_offset + a ux + b uy = t (px, py, eye); solved for (a, b) by Cramer's rule.
  return WarpPictureInPlace(picture, values, [&](double x, double y, double* sx, double* sy) {
    const double px = x - cx, py = y - cy;
    const double ray[3] = {px, py, eye};
    const double origin[3] = {0, 0, eye};  // the card's middle sits at the eye's distance
    // Solve a ux + b uy - t ray = -origin.
    auto det3 = [](const double* c0, const double* c1, const double* c2) {
      return c0[0] * (c1[1] * c2[2] - c1[2] * c2[1]) - c1[0] * (c0[1] * c2[2] - c0[2] * c2[1]) +
             c2[0] * (c0[1] * c1[2] - c0[2] * c1[1]);
    };
    const double negRay[3] = {-ray[0], -ray[1], -ray[2]};
    const double rhs[3] = {-origin[0], -origin[1], -origin[2]};
    const double d = det3(ux, uy, negRay);
    const double t = det3(ux, uy, rhs) / d;
    if (!(std::fabs(d) > 1e-12) || !(t > 0)) {
      *sx = *sy = -1e9;  // beyond the horizon: nothing of the card
      return;
    }
    *sx = cx + det3(rhs, uy, negRay) / d;
    *sy = cy + det3(ux, rhs, negRay) / d;
  });
}

}  // namespace imaging::script
