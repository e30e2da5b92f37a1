// The functions and values a filter script sees as globals.
#pragma once

#include <cstdint>

#include "script/lua_headers.h"

namespace script {

struct FilterGlobals {
  int32_t width = 0;
  int32_t height = 0;
  int32_t sliders[6] = {};  // thousandths
  int32_t styles[2] = {};   // zero-based
  int32_t flags[6] = {};    // low byte used
};

// Registers every function of the pixel API (and the paint-script functions), then the global
// values, in the order scripts have always seen them.
void RegisterFilterApi(lua_State* L, const FilterGlobals& globals);

// The errors a stopped script ends with.
inline constexpr const char* kStoppedMessage = "the script was stopped (Escape)";
inline constexpr const char* kTimeLimitMessage = "the script was stopped (time limit)";
inline constexpr const char* kMemoryLimitMessage = "the script was stopped (not enough memory)";

// Raises a Lua error when the host has asked the run to stop, or when it was stopped before.
void CheckStop(lua_State* L);
// The same, and the time limit too (the count hook).
void CheckStopAndTime(lua_State* L);

}  // namespace script
