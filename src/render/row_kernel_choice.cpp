// Which row kernel composites a row, asked per call so that the CPU level's switch takes effect
// at once. Built for the baseline processor: the level is checked before any kernel runs.
#include "platform/cpu_features.h"
#include "render/composite_internal.h"

namespace render {

NormalRowKernel NormalRowVector() {
  return platform::CpuAtLeast(platform::CpuLevel::kAvx2) ? kNormalRowAvx2 : nullptr;
}

NormalRowKernel RuleRowVector(BlendRule rule) {
  const auto index = static_cast<std::size_t>(rule);
  if (!platform::CpuAtLeast(platform::CpuLevel::kAvx2) || index >= kRuleRowsAvx2.size()) {
    return nullptr;
  }
  if (platform::CpuAtLeast(platform::CpuLevel::kAvx512) && kRuleRowsAvx512[index]) {
    return kRuleRowsAvx512[index];
  }
  return kRuleRowsAvx2[index];
}

}  // namespace render
