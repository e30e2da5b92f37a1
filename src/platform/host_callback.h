// Host code runs inside an engine call only through the callbacks the host installs (message boxes,
// the font chooser). While one runs, the engine call that made it may still hold the processing
// buffers, the mask and the canvas geometry, so the host must not release or re-create them from
// there: the exports that would do so ask InsideHostCallback() and refuse.
#pragma once

namespace platform {

// Marks the extent of one call into host code; nests.
class HostCallbackScope {
 public:
  HostCallbackScope() noexcept;
  ~HostCallbackScope();
  HostCallbackScope(const HostCallbackScope&) = delete;
  HostCallbackScope& operator=(const HostCallbackScope&) = delete;
};

bool InsideHostCallback() noexcept;

}  // namespace platform
