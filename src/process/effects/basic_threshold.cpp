#include "process/effects/basic_threshold.h"

#include "process/effects/own_effects.h"
#include "process/effects/point_effect.h"

namespace process {

void ThresholdPixels(const EffectContext& context, int32_t threshold) {
  ForEachPixel(context, [=](const uint8_t* in, uint8_t* out) {
    const uint8_t v = Luminance(in) >= threshold ? 255 : 0;
    out[0] = out[1] = out[2] = v;
    out[3] = in[3];
  });
}

void BasicThreshold(EffectContext& context) {
  ThresholdPixels(context, Trunc(context.slider1 * 255));
}

}  // namespace process
