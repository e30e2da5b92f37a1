#include "process/effects/value_blur.h"

#include "process/effects/smear_passes.h"
#include "process/effects/smear_rules.h"

namespace process {

void ValueBlur(EffectContext& context) {
  context.chainFlag = 1;
  SmearMix mix;
  mix.brighter = Weight65535(context.slider1);
  mix.darker = Weight65535(context.slider2);
  if (!RunSmearVector(context, mix)) RunSmearPasses<false>(context, mix);
}

}  // namespace process
