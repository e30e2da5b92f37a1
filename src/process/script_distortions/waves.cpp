// Waves: script effect 16; the script value chooses where the drops fall.
#include <algorithm>

#include "process/effects/effect_context.h"
#include "process/library/slider_scales.h"
#include "process/script_distortions/script_distortion_effects.h"

namespace process {

bool WavesBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
               int32_t height) {
  // 1 to 16 drops; rings from 2 pixels to a quarter of the larger side apart; swings up to a
  // tenth of the smaller side.
  const double wavelength = std::max(2.0, Fraction(call, 2) * 0.25 * std::max(width, height));
  return RunScriptDistortion(call, 16,
                             {{3, double(call.scriptValue)},
                              {4, double(1 + Trunc(Fraction(call, 1) * 15))},
                              {5, wavelength},
                              {6, Fraction(call, 3) * 0.1 * std::min(width, height)}},
                             kEdgeAndBackground, source, destination, width, height);
}

}  // namespace process
