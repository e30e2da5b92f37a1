#include "platform/escape_latch.h"

#include <atomic>

namespace platform {
namespace {
// The host may signal from another thread.
std::atomic<unsigned char> g_escape{0};
}  // namespace

void SignalEscape() noexcept { g_escape.store(1, std::memory_order_release); }

bool TakeEscape() noexcept { return g_escape.exchange(0, std::memory_order_acq_rel) != 0; }

bool EscapePending() noexcept { return g_escape.load(std::memory_order_acquire) != 0; }

}  // namespace platform
