// Spin Wave: rings that turn to and fro about a centre.
#include "imaging/transforms.h"
#include "process/transforms/transform_effects.h"

namespace process {

bool SpinWaveBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  // Up to 45 degrees each way.
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddSpinWaveTransform(
          uint32_t(width), uint32_t(height), Across(call, 3, width), Across(call, 4, height),
          WavelengthOf(call, 2, width, height), Centred(call, 1) * 45, TransformEdgeMode(call)))
    return false;
  return RunTransformList(call, source, destination, width, height);
}

}  // namespace process
