// Lens: a glass sphere over the picture.
#include "imaging/transforms.h"
#include "process/transforms/transform_effects.h"

namespace process {

bool LensBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height) {
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddLensTransform(uint32_t(width), uint32_t(height), Across(call, 3, width),
                                     Across(call, 4, height), RadiusOf(call, 2, width, height),
                                     Centred(call, 1), TransformEdgeMode(call)))
    return false;
  return RunTransformList(call, source, destination, width, height);
}

}  // namespace process
