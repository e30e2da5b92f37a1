// Wow: the picture pushed into a flower of lobes.
#include "imaging/transforms.h"
#include "process/effects/effect_context.h"
#include "process/library/slider_scales.h"
#include "process/transforms/transform_effects.h"

namespace process {

bool WowBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
             int32_t height) {
  // 1 to 32 lobes; the amount reaches 0.9 at either end, where a lobe nearly meets the centre.
  const auto lobes = uint32_t(1 + Trunc(Fraction(call, 2) * 31));
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddWowTransform(uint32_t(width), uint32_t(height), Across(call, 4, width),
                                    Across(call, 5, height), lobes, Centred(call, 1) * 0.9,
                                    Fraction(call, 3) * 360, TransformEdgeMode(call)))
    return false;
  return RunTransformList(call, source, destination, width, height);
}

}  // namespace process
