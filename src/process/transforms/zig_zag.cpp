// Zig Zag: rows and columns shifted along triangle waves.
#include "imaging/transforms.h"
#include "process/transforms/transform_effects.h"

namespace process {

bool ZigZagBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height) {
  // Sliders 1 and 2: the sideways shift and its period down the picture; 3 and 4 the vertical
  // shift and its period across.
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddZigZagTransform(
          uint32_t(width), uint32_t(height), WavelengthOf(call, 3, width, height),
          AmplitudeOf(call, 2, width, height), WavelengthOf(call, 1, width, height),
          AmplitudeOf(call, 4, width, height), TransformEdgeMode(call)))
    return false;
  return RunTransformList(call, source, destination, width, height);
}

}  // namespace process
