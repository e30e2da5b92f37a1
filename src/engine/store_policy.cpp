#include "engine/store_policy.h"

#include <atomic>

namespace engine {
namespace {

// Past about half of a typical last-level cache, the written lines would be evicted before use.
constexpr std::size_t kStreamingBytes = std::size_t{16} << 20;

std::atomic<int32_t> g_forced{0};

}  // namespace

Stores StoresFor(std::size_t bytes) {
  const int32_t forced = g_forced.load(std::memory_order_relaxed);
  if (forced != 0) return forced > 0 ? Stores::kStreaming : Stores::kCached;
  return bytes >= kStreamingBytes ? Stores::kStreaming : Stores::kCached;
}

void SetStoresForTesting(int32_t choice) noexcept {
  g_forced.store(choice, std::memory_order_relaxed);
}

}  // namespace engine
