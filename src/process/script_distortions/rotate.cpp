// Rotate: script effect 51, the runner's turn.
#include <cmath>

#include "process/library/slider_scales.h"
#include "process/script_distortions/script_distortion_effects.h"

namespace process {

bool RotateBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height) {
  // Half a turn each way (anticlockwise above 50 %); zoom from a quarter to four times;
  // bilinear. The turn has no edge modes: its corners take the colour or stay transparent.
  return RunScriptDistortion(call, 51,
                             {{3, (Fraction(call, 1) * 2 - 1) * 180},
                              {4, 100 * std::exp2((Fraction(call, 2) * 2 - 1) * 2)},
                              {5, 1}},
                             {6, 6}, source, destination, width, height);
}

}  // namespace process
