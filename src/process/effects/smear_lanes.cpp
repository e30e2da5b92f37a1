// The smear passes go to the AVX2 lanes where the CPU level allows them; built for the baseline
// processor, so the check comes before any AVX2 instruction.
#include "platform/cpu_features.h"
#include "process/effects/smear_rules.h"

namespace process {

bool RunSmearVector(const EffectContext& context, const SmearMix& rule) {
  return platform::CpuAtLeast(platform::CpuLevel::kAvx2) && RunSmearAvx2(context, rule);
}

bool RunSmearVector(const EffectContext& context, const AntiAliasRule& rule) {
  return platform::CpuAtLeast(platform::CpuLevel::kAvx2) && RunSmearAvx2(context, rule);
}

}  // namespace process
