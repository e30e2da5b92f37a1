// Memory figures of the machine, in bytes: what the undo budget and the host's memory queries read.
#pragma once

#include <cstdint>

namespace platform {

struct MemoryStatus {
  uint64_t totalPhysical = 0;
  uint64_t availablePhysical = 0;
  // The page-file figures of the desktop platform are its commit space: physical memory plus the
  // page file. Their counterpart here is physical memory plus swap, so that a machine without swap
  // reports its free memory rather than zero.
  uint64_t totalPageFile = 0;
  uint64_t availablePageFile = 0;
  uint64_t totalVirtual = 0;
  uint64_t availableVirtual = 0;
};

// Reads /proc/meminfo (MemAvailable counts reclaimable cache as available), falling back to
// sysinfo. Returns false when neither answers.
bool ReadMemoryStatus(MemoryStatus& status);

// Test hook: makes ReadMemoryStatus report the given figures (null restores the real ones).
void OverrideMemoryStatusForTesting(const MemoryStatus* status);

}  // namespace platform
