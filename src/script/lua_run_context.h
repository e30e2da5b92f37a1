// What one filter run works on: the processing buffers, the mask and the run's own flags. The run
// is synchronous, so the registered functions find it through CurrentRun().
#pragma once

#include <chrono>
#include <cstdint>

namespace script {

struct LuaRunContext {
  uint8_t* src = nullptr;    // source buffer 32 (what get_ functions read by default)
  uint8_t* dst = nullptr;    // destination buffer 32 (what set_ functions write)
  uint16_t* mask = nullptr;  // the mask plane, or null without a canvas
  int32_t width = 0;
  int32_t height = 0;
  // Control bytes that compiled script code reads directly: [0] the single-buffer flag, [1] set
  // once the run is stopped.
  volatile uint8_t control[8] = {};

  // The stop request: the Escape latch left untaken by the script for a while.
  bool escapeSeen = false;
  std::chrono::steady_clock::time_point escapeSeenAt;

  // Once a run is stopped (Escape, the time limit, the memory limit) it stays stopped: every hook,
  // engine call and protected call raises the same error again until the script has ended.
  const char* stopMessage = nullptr;
  bool hasDeadline = false;
  std::chrono::steady_clock::time_point deadline;
  int nestedCalls = 0;  // library calls back into the script now in progress

  uint8_t* ReadBuffer() const { return control[0] ? dst : src; }
  void Stop(const char* message) {
    if (!stopMessage) stopMessage = message;
    control[1] = 1;
  }
};

// The run in progress, or null.
LuaRunContext* CurrentRun();
void SetCurrentRun(LuaRunContext* run);

// True when the host has signalled Escape and the script has not taken the signal with is_escape
// within a short grace time: a script that polls is_escape can finish cleanly, one that does not is
// stopped. Clears the latch when it decides to stop.
bool StopRequested(LuaRunContext& run);

}  // namespace script
