// Twirl: script effect 6.
#include "process/library/slider_scales.h"
#include "process/script_distortions/script_distortion_effects.h"

namespace process {

bool TwirlBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
               int32_t height) {
  // Two whole turns each way; radius and centre in percent as the slots take them.
  return RunScriptDistortion(call, 6,
                             {{3, (Fraction(call, 1) * 2 - 1) * 720},
                              {4, Fraction(call, 2) * 100},
                              {5, Fraction(call, 3) * 100},
                              {6, Fraction(call, 4) * 100}},
                             kEdgeAndBackground, source, destination, width, height);
}

}  // namespace process
