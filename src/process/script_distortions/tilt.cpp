// Tilt: script effect 54.
#include "process/library/slider_scales.h"
#include "process/script_distortions/script_distortion_effects.h"

namespace process {

bool TiltBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height) {
  // Up to 80 degrees each way; the eye from half a diagonal to five diagonals away.
  return RunScriptDistortion(call, 54,
                             {{3, (Fraction(call, 1) * 2 - 1) * 80},
                              {4, (Fraction(call, 2) * 2 - 1) * 80},
                              {5, 0.5 + Fraction(call, 3) * 4.5}},
                             kEdgeAndBackground, source, destination, width, height);
}

}  // namespace process
