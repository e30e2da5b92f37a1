#include "platform/display_latch.h"

#include <atomic>

namespace platform {
namespace {
// A watcher may signal from another thread; the host reads on its own.
std::atomic<bool> g_displayChanged{false};
}  // namespace

void SignalDisplayChange() noexcept { g_displayChanged.store(true, std::memory_order_release); }

bool TakeDisplayChange() noexcept {
  return g_displayChanged.exchange(false, std::memory_order_acq_rel);
}

}  // namespace platform
