// Wave: a sine wave running across the picture.
#include "imaging/transforms.h"
#include "process/library/slider_scales.h"
#include "process/transforms/transform_effects.h"

namespace process {

bool WaveBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height) {
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddWaveTransform(uint32_t(width), uint32_t(height),
                                     WavelengthOf(call, 1, width, height),
                                     AmplitudeOf(call, 2, width, height), Fraction(call, 3) * 360,
                                     Fraction(call, 4) * 360, TransformEdgeMode(call)))
    return false;
  return RunTransformList(call, source, destination, width, height);
}

}  // namespace process
