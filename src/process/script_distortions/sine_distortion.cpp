// Sine Distortion: script effect 13.
#include <algorithm>

#include "process/library/slider_scales.h"
#include "process/script_distortions/script_distortion_effects.h"

namespace process {

bool SineDistortionBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                        int32_t width, int32_t height) {
  // Swings up to a tenth of the smaller side; waves from 2 pixels to half the larger side long.
  const double amplitude = Fraction(call, 1) * 0.1 * std::min(width, height);
  const double wavelength = std::max(2.0, Fraction(call, 2) * 0.5 * std::max(width, height));
  return RunScriptDistortion(call, 13,
                             {{3, amplitude}, {4, wavelength}, {5, Fraction(call, 3) * 360}},
                             kEdgeAndBackground, source, destination, width, height);
}

}  // namespace process
