// Stretch: the content stretched or squeezed about its middle.
#include <cmath>

#include "process/library/slider_scales.h"
#include "process/polygon_warps/polygon_warp_effects.h"
#include "process/polygon_warps/polygon_warp_frame.h"

namespace process {

bool StretchBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                 int32_t height) {
  return RunPolygonWarp(call, source, destination, width, height,
                        [](const EffectCall& c, const ContentBox& box, int32_t, int32_t) {
                          // 0 % a quarter, 50 % as is, 100 % four times.
                          const double sx = std::exp2(Fraction(c, 1) * 4 - 2),
                                       sy = std::exp2(Fraction(c, 2) * 4 - 2);
                          const double hw = box.Width() * sx / 2, hh = box.Height() * sy / 2;
                          return WarpTargets::Corners({box.CentreX() - hw, box.CentreY() - hh,
                                                       box.CentreX() + hw, box.CentreY() + hh});
                        });
}

}  // namespace process
