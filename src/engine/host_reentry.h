// Exports that release or re-create what a running engine call may hold (the canvas planes, the
// processing buffers) refuse to run from inside a host callback: the call that invoked the host
// goes on using them after the callback returns.
#pragma once

#include <exception>

namespace engine {

class ReentrantRelease : public std::exception {
 public:
  const char* what() const noexcept override { return "released from inside a host callback"; }
};

// Throws ReentrantRelease while host code called by the engine is running.
void RefuseInsideHostCallback();

}  // namespace engine
