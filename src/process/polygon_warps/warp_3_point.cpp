// Warp 3 Point: three corners moved, the fourth following so that lines stay parallel.
#include "process/polygon_warps/polygon_warp_effects.h"
#include "process/polygon_warps/polygon_warp_frame.h"

namespace process {

bool Warp3PointBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                    int32_t width, int32_t height) {
  return RunPolygonWarp(
      call, source, destination, width, height,
      [](const EffectCall& c, const ContentBox& box, int32_t, int32_t) {
        const WarpTargets corners = WarpTargets::Corners(box);
        // Top left, top right and bottom left with their moves.
        WarpTargets t{{corners.points[0] + c.options[0], corners.points[1] + c.options[1],
                       corners.points[2] + c.options[2], corners.points[3] + c.options[3],
                       corners.points[6] + c.options[4], corners.points[7] + c.options[5], 0, 0},
                      3};
        return t;
      });
}

}  // namespace process
