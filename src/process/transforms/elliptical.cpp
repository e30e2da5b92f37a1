// Elliptical: the whole picture drawn into its inscribed ellipse.
#include "imaging/transforms.h"
#include "process/library/slider_scales.h"
#include "process/transforms/transform_effects.h"

namespace process {

bool EllipticalBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                    int32_t width, int32_t height) {
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddEllipticalTransform(uint32_t(width), uint32_t(height), Fraction(call, 1),
                                           TransformEdgeMode(call)))
    return false;
  return RunTransformList(call, source, destination, width, height);
}

}  // namespace process
