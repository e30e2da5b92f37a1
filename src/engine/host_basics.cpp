#include "engine/host_basics.h"

#include <cstring>

#include "engine/engine_state.h"
#include "engine/random_pool.h"
#include "platform/display_latch.h"

namespace engine {

void Memcpy(void* dst, const void* src, uint32_t count) {
  if (dst && src && count) std::memmove(dst, src, count);
}

void SetStartDir(const char* dir) {
  if (!dir) return;
  const std::size_t length = strnlen(dir, kStartDirBytes);
  if (length >= kStartDirBytes) return;
  std::memcpy(State().startDir, dir, length + 1);
}

void SetRandomSeed(uint32_t seed) {
  State().randomSeed = seed;
  Generator().Seed(seed);
}

int32_t IsDisplayChanged() { return platform::TakeDisplayChange() ? 1 : 0; }

void SignalDisplayChange() { platform::SignalDisplayChange(); }

}  // namespace engine
