#include "process/effects/noise_reduction.h"

#include "process/effects/smear_passes.h"
#include "process/effects/smear_rules.h"

namespace process {

void NoiseReduction(EffectContext& context) {
  // Slider 1 is the amount of smoothing; the weight kept by the pixel itself is 1 - amount / 2.
  context.slider1 = 1 - context.slider1 * 0.5;
  context.chainFlag = 1;
  SmearMix mix;
  mix.byThreshold = true;
  mix.threshold = Trunc(context.slider2 * 255);
  mix.brighter = Weight65535(context.slider1);
  if (!RunSmearVector(context, mix)) RunSmearPasses<false>(context, mix);
}

}  // namespace process
