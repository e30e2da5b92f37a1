#include "process/effects/anti_alias.h"

#include "process/effects/smear_passes.h"
#include "process/effects/smear_rules.h"

namespace process {

void AntiAlias(EffectContext& context) {
  context.chainFlag = 1;
  AntiAliasRule rule;
  rule.dropThreshold = Trunc((1 - context.slider3) * 255);
  rule.riseThreshold = Trunc((1 - context.slider4) * 255);
  rule.dropKeep = context.slider1;
  rule.riseKeep = context.slider2;
  if (!RunSmearVector(context, rule)) RunSmearPasses<true>(context, rule);
}

}  // namespace process
