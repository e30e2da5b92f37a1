#include "engine/engine_state.h"

#include <cstring>

namespace engine {

EngineState& State() {
  static EngineState state;
  return state;
}

void SetLastError(const char* text) {
  char* buffer = State().lastError;
  std::memset(buffer, 0, kLastErrorBytes);
  if (!text) return;
  const std::size_t length = strnlen(text, kLastErrorBytes - 1);
  std::memcpy(buffer, text, length);
}

}  // namespace engine
