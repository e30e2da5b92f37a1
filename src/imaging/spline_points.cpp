#include "imaging/spline_points.h"

#include <algorithm>

namespace imaging {
namespace {

// One coordinate of the cubic Hermite segment from p1 to p2 with tangents from the neighbours.
double Hermite(double p0, double p1, double p2, double p3, double t, double tension) {
  const double m1 = tension * (p2 - p0), m2 = tension * (p3 - p1);
  const double t2 = t * t, t3 = t2 * t;
  return (2 * t3 - 3 * t2 + 1) * p1 + (t3 - 2 * t2 + t) * m1 + (-2 * t3 + 3 * t2) * p2 +
         (t3 - t2) * m2;
}

}  // namespace

int32_t ISE40_Get3DSplinePoints(uint32_t outCount, uint32_t controlCount, uint32_t tensionPercent,
                                const double* inX, const double* inY, const double* inZ,
                                double* outX, double* outY, double* outZ) {
  if (outCount < 2 || controlCount < 2 || !inX || !inY || !inZ || !outX || !outY || !outZ) return 0;
  const double tension = tensionPercent / 100.0;
  const double* in[3] = {inX, inY, inZ};
  double* out[3] = {outX, outY, outZ};
  const uint32_t segments = controlCount - 1;
  for (uint32_t j = 0; j < outCount; ++j) {
    const double u = double(j) / (outCount - 1) * segments;
    const uint32_t segment = std::min(uint32_t(u), segments - 1);
    const double t = u - segment;
    // The end points stand in for their missing outer neighbours.
    const uint32_t i0 = segment == 0 ? 0 : segment - 1, i1 = segment, i2 = segment + 1;
    const uint32_t i3 = std::min(segment + 2, controlCount - 1);
    for (int axis = 0; axis < 3; ++axis) {
      const double* p = in[axis];
      out[axis][j] = Hermite(p[i0], p[i1], p[i2], p[i3], t, tension);
    }
  }
  return 1;
}

}  // namespace imaging
