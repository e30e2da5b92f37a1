// Perspective: one side of the content narrowed, as if seen at a slant.
#include "process/library/slider_scales.h"
#include "process/polygon_warps/polygon_warp_effects.h"
#include "process/polygon_warps/polygon_warp_frame.h"

namespace process {

bool PerspectiveBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height) {
  return RunPolygonWarp(call, source, destination, width, height,
                        [](const EffectCall& c, const ContentBox& box, int32_t, int32_t) {
                          // Above 50 % the top narrows, below it the bottom; at either end to a
                          // tenth of its length. Slider 2 does the same for the right and left
                          // sides.
                          const double across = (Fraction(c, 1) * 2 - 1) * 0.45 * box.Width();
                          const double down = (Fraction(c, 2) * 2 - 1) * 0.45 * box.Height();
                          WarpTargets t = WarpTargets::Corners(box);
                          double* p = t.points;  // top left, top right, bottom right, bottom left
                          if (across > 0) p[0] += across, p[2] -= across;
                          if (across < 0) p[6] -= across, p[4] += across;
                          if (down > 0) p[3] += down, p[5] -= down;
                          if (down < 0) p[1] -= down, p[7] += down;
                          return t;
                        });
}

}  // namespace process
