// Stretch Edge: the content stretched out to the canvas edges.
#include "process/library/slider_scales.h"
#include "process/polygon_warps/polygon_warp_effects.h"
#include "process/polygon_warps/polygon_warp_frame.h"

namespace process {

bool StretchEdgeBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height) {
  return RunPolygonWarp(call, source, destination, width, height,
                        [](const EffectCall& c, const ContentBox&, int32_t w, int32_t h) {
                          // The margin is a share of half of each side, stopping one pixel short of
                          // the middle.
                          const double mx = Fraction(c, 1) * (w / 2.0 - 0.5),
                                       my = Fraction(c, 1) * (h / 2.0 - 0.5);
                          return WarpTargets::Corners({mx, my, w - mx, h - my});
                        });
}

}  // namespace process
