// The Escape key. On the desktop platform scripts polled the keyboard; here the host signals the
// key (from its event loop or from another thread) and the engine takes each press once.
#pragma once

namespace platform {

void SignalEscape() noexcept;
// True once after each signal; clears the latch.
bool TakeEscape() noexcept;
// True while a signal is waiting to be taken.
bool EscapePending() noexcept;

}  // namespace platform
