#include "process/polygon_warps/pivot.h"

#include <algorithm>
#include <cmath>

namespace process {

WarpTargets PivotedCorners(const ContentBox& box, double degrees, bool vertical) {
  const double a = degrees * 3.14159265358979323846 / 180;
  const double eye = 2 * std::max(box.Width(), box.Height());
  WarpTargets t = WarpTargets::Corners(box);
  for (int i = 0; i < 4; ++i) {
    double u = t.points[2 * i] - box.CentreX(), v = t.points[2 * i + 1] - box.CentreY();
    // The coordinate across the axis turns into depth.
    double& across = vertical ? u : v;
    const double depth = across * std::sin(a);
    across *= std::cos(a);
    const double scale = eye / (eye + depth);
    t.points[2 * i] = box.CentreX() + u * scale;
    t.points[2 * i + 1] = box.CentreY() + v * scale;
  }
  return t;
}

}  // namespace process
