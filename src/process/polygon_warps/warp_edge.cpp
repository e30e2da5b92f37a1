// Warp Edge: the content drawn onto the canvas corners, each moved by its options.
#include "process/polygon_warps/polygon_warp_effects.h"
#include "process/polygon_warps/polygon_warp_frame.h"

namespace process {

bool WarpEdgeBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  return RunPolygonWarp(call, source, destination, width, height,
                        [](const EffectCall& c, const ContentBox&, int32_t w, int32_t h) {
                          WarpTargets t = WarpTargets::Corners({0, 0, double(w), double(h)});
                          for (int i = 0; i < 8; ++i) t.points[i] += c.options[i];
                          return t;
                        });
}

}  // namespace process
