// Value Blur: a smear directed by luminance. Along each scan, a pixel is pulled towards its
// predecessor by one weight when the predecessor is brighter and by another when it is darker.
#include "process/effects/own_effects.h"
#include "process/effects/smear_rules.h"
#include "process/effects/smear_passes.h"

namespace process {

void ValueBlur(EffectContext& context) {
  context.chainFlag = 1;
  SmearMix mix;
  mix.brighter = Weight65535(context.slider1);
  mix.darker = Weight65535(context.slider2);
  if (!RunSmearVector(context, mix)) RunSmearPasses<false>(context, mix);
}

}  // namespace process
