// Kaleidoscope: script effect 49.
#include "process/effects/effect_context.h"
#include "process/library/slider_scales.h"
#include "process/script_distortions/script_distortion_effects.h"

namespace process {

bool KaleidoscopeBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                      int32_t width, int32_t height) {
  // 2 to 32 wedges.
  return RunScriptDistortion(call, 49,
                             {{3, double(2 + Trunc(Fraction(call, 1) * 30))},
                              {4, Fraction(call, 2) * 360},
                              {5, Fraction(call, 3) * 100},
                              {6, Fraction(call, 4) * 100}},
                             kEdgeAndBackground, source, destination, width, height);
}

}  // namespace process
