// Marble: the picture swirled along smooth fractal veins.
#include <algorithm>

#include "imaging/transforms.h"
#include "process/library/slider_scales.h"
#include "process/transforms/transform_effects.h"

namespace process {

bool MarbleBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height) {
  // Veins from 4 pixels to the picture's larger side across; moves up to a fifth of the smaller.
  const double size = std::max(4.0, Fraction(call, 1) * std::max(width, height));
  const double strength = Fraction(call, 2) * 0.2 * std::min(width, height);
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddMarbleTransform(uint32_t(width), uint32_t(height), size, strength,
                                       uint32_t(call.scriptValue), TransformEdgeMode(call)))
    return false;
  return RunTransformList(call, source, destination, width, height);
}

}  // namespace process
