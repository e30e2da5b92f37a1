// Zoom: script effect 50.
#include <cmath>

#include "process/library/slider_scales.h"
#include "process/script_distortions/script_distortion_effects.h"

namespace process {

bool ZoomBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height) {
  // 0 % an eighth, 50 % as is, 100 % eight times.
  return RunScriptDistortion(call, 50,
                             {{3, 100 * std::exp2((Fraction(call, 1) * 2 - 1) * 3)},
                              {4, Fraction(call, 2) * 100},
                              {5, Fraction(call, 3) * 100}},
                             kEdgeAndBackground, source, destination, width, height);
}

}  // namespace process
