// Test hook of cpu_features.h: forces the kernels down to a lower level.
#pragma once

#include "platform/cpu_features.h"

namespace platform {

// Caps the level at `level` until the next call. It never raises the level above what the
// machine and PALMORA_CPU allow, so a test asking for a level the machine lacks gets the highest
// one it has; compare CurrentCpuLevel() with the level asked for to skip such a case.
void SetCpuLevelForTesting(CpuLevel level) noexcept;

// Caps the level for the lifetime of the object and lifts the cap afterwards.
class ScopedCpuLevelForTesting {
 public:
  explicit ScopedCpuLevelForTesting(CpuLevel level) noexcept { SetCpuLevelForTesting(level); }
  ~ScopedCpuLevelForTesting() { SetCpuLevelForTesting(CpuLevel::kAvx512); }
  ScopedCpuLevelForTesting(const ScopedCpuLevelForTesting&) = delete;
  ScopedCpuLevelForTesting& operator=(const ScopedCpuLevelForTesting&) = delete;
};

}  // namespace platform
