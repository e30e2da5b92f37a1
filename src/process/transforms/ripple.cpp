// Ripple: rings spreading from a centre.
#include "imaging/transforms.h"
#include "process/library/slider_scales.h"
#include "process/transforms/transform_effects.h"

namespace process {

bool RippleBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height) {
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddRippleTransform(
          uint32_t(width), uint32_t(height), Across(call, 4, width), Across(call, 5, height),
          WavelengthOf(call, 1, width, height), AmplitudeOf(call, 2, width, height),
          Fraction(call, 3) * 360, TransformEdgeMode(call)))
    return false;
  return RunTransformList(call, source, destination, width, height);
}

}  // namespace process
