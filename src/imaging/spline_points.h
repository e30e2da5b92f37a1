// Points along a smooth curve through control points.
#pragma once

#include <cstdint>

namespace imaging {

// Samples outCount points (at least 2) in order along the Catmull-Rom curve through the
// controlCount (at least 2) control points (inX/inY/inZ), evenly in the curve's parameter: the
// first sample is the first control point and the last the last. tensionPercent scales the
// tangents (50 is the classic curve, 0 joins the points by straight lines). Fails for null arrays
// or too few points.
int32_t ISE40_Get3DSplinePoints(uint32_t outCount, uint32_t controlCount, uint32_t tensionPercent,
                                const double* inX, const double* inY, const double* inZ,
                                double* outX, double* outY, double* outZ);

}  // namespace imaging
