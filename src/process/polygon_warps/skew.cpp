// Skew: the content slanted sideways or up and down.
#include <cmath>

#include "process/library/slider_scales.h"
#include "process/polygon_warps/polygon_warp_effects.h"
#include "process/polygon_warps/polygon_warp_frame.h"

namespace process {

bool SkewBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height) {
  return RunPolygonWarp(
      call, source, destination, width, height,
      [](const EffectCall& c, const ContentBox& box, int32_t, int32_t) {
        // Up to 60 degrees each way about the middle: the top moves right above 50 %, the right
        // side down.
        constexpr double kLimit = 60 * 3.14159265358979323846 / 180;
        const double across = std::tan((Fraction(c, 1) * 2 - 1) * kLimit) * box.Height() / 2;
        const double down = std::tan((Fraction(c, 2) * 2 - 1) * kLimit) * box.Width() / 2;
        WarpTargets t = WarpTargets::Corners(box);
        double* p = t.points;  // top left, top right, bottom right, bottom left
        p[0] += across, p[2] += across, p[4] -= across, p[6] -= across;
        p[1] -= down, p[3] += down, p[5] += down, p[7] -= down;
        return t;
      });
}

}  // namespace process
