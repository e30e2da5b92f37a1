// Warp: the content's four corners moved freely.
#include "process/polygon_warps/polygon_warp_effects.h"
#include "process/polygon_warps/polygon_warp_frame.h"

namespace process {

bool WarpBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height) {
  return RunPolygonWarp(call, source, destination, width, height,
                        [](const EffectCall& c, const ContentBox& box, int32_t, int32_t) {
                          WarpTargets t = WarpTargets::Corners(box);
                          for (int i = 0; i < 8; ++i) t.points[i] += c.options[i];
                          return t;
                        });
}

}  // namespace process
