#include "engine/engine_state.h"

#include <cstring>

namespace engine {

// Constant-initialised, so it exists before any code runs and State() needs no first-use guard:
// it is read on every dab and every row.
constinit EngineState engineStateRecord{};

void SetLastError(const char* text) {
  char* buffer = State().lastError;
  std::memset(buffer, 0, kLastErrorBytes);
  if (!text) return;
  const std::size_t length = strnlen(text, kLastErrorBytes - 1);
  std::memcpy(buffer, text, length);
}

}  // namespace engine
