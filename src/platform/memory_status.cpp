#include "platform/memory_status.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>

#include <cstdio>
#include <cstring>
#include <optional>

namespace platform {
namespace {

std::optional<MemoryStatus> g_override;

// Reads "Name:   1234 kB" lines; returns false when a wanted field is missing.
bool ReadProcMeminfo(MemoryStatus& status) {
  uint64_t swapTotal = 0, swapFree = 0;
  std::FILE* file = std::fopen("/proc/meminfo", "r");
  if (!file) return false;
  char line[256];
  int found = 0;
  while (std::fgets(line, sizeof line, file)) {
    unsigned long long kib = 0;
    char name[64];
    if (std::sscanf(line, "%63[^:]: %llu", name, &kib) != 2) continue;
    const uint64_t bytes = static_cast<uint64_t>(kib) << 10;
    if (std::strcmp(name, "MemTotal") == 0) {
      status.totalPhysical = bytes;
      ++found;
    } else if (std::strcmp(name, "MemAvailable") == 0) {
      status.availablePhysical = bytes;
      ++found;
    } else if (std::strcmp(name, "SwapTotal") == 0) {
      swapTotal = bytes;
      ++found;
    } else if (std::strcmp(name, "SwapFree") == 0) {
      swapFree = bytes;
      ++found;
    }
  }
  std::fclose(file);
  status.totalPageFile = status.totalPhysical + swapTotal;
  status.availablePageFile = status.availablePhysical + swapFree;
  return found == 4;
}

bool ReadSysinfo(MemoryStatus& status) {
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return false;
  const uint64_t unit = info.mem_unit ? info.mem_unit : 1;
  status.totalPhysical = info.totalram * unit;
  status.availablePhysical = (info.freeram + info.bufferram) * unit;
  status.totalPageFile = status.totalPhysical + info.totalswap * unit;
  status.availablePageFile = status.availablePhysical + info.freeswap * unit;
  return true;
}

}  // namespace

bool ReadMemoryStatus(MemoryStatus& status) {
  if (g_override) {
    status = *g_override;
    return true;
  }
  MemoryStatus read;
  if (!ReadProcMeminfo(read) && !ReadSysinfo(read)) return false;
  // The address space a process may use: its limit, or what the machine could back.
  rlimit limit{};
  const uint64_t backing = read.totalPageFile;
  read.totalVirtual = (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
                          ? static_cast<uint64_t>(limit.rlim_cur)
                          : backing;
  read.availableVirtual = read.availablePageFile;
  if (read.availableVirtual > read.totalVirtual) read.availableVirtual = read.totalVirtual;
  status = read;
  return true;
}

void OverrideMemoryStatusForTesting(const MemoryStatus* status) {
  if (status)
    g_override = *status;
  else
    g_override.reset();
}

}  // namespace platform
