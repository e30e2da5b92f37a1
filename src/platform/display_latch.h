// The display-change latch. On the desktop platform a hidden window set it when the screen, the
// session or the power state changed; here the host (or its display watcher) signals it.
#pragma once

namespace platform {

void SignalDisplayChange() noexcept;
// Returns true once after each signal.
bool TakeDisplayChange() noexcept;

}  // namespace platform
