// Noise Reduction: an edge-preserving smear. Along each scan, a pixel is mixed with its
// predecessor only where their luminances differ by less than the threshold, so that small
// variations are flattened and real edges stay.
#include "process/effects/own_effects.h"
#include "process/effects/smear_rules.h"
#include "process/effects/smear_passes.h"

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
