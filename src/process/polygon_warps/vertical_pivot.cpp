// Vertical Pivot: the content turned like a door about its upright middle line.
#include "process/library/slider_scales.h"
#include "process/polygon_warps/pivot.h"
#include "process/polygon_warps/polygon_warp_effects.h"

namespace process {

bool VerticalPivotBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                       int32_t width, int32_t height) {
  return RunPolygonWarp(call, source, destination, width, height,
                        [](const EffectCall& c, const ContentBox& box, int32_t, int32_t) {
                          // Up to 80 degrees each way: edge-on would leave nothing to see.
                          return PivotedCorners(box, (Fraction(c, 1) * 2 - 1) * 80, true);
                        });
}

}  // namespace process
