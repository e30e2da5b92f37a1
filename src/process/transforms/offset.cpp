// Offset: the picture moved by whole pixels.
#include <cmath>

#include "imaging/transforms.h"
#include "process/transforms/transform_effects.h"

namespace process {

bool OffsetBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height) {
  // Whole pixels (the nearest), so that every pixel arrives unchanged: 0 % moves a whole width
  // left or up, 100 % right or down.
  const double dx = std::round(Centred(call, 1) * width);
  const double dy = std::round(Centred(call, 2) * height);
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddOffsetTransform(uint32_t(width), uint32_t(height), dx, dy,
                                       TransformEdgeMode(call)))
    return false;
  return RunTransformList(call, source, destination, width, height);
}

}  // namespace process
