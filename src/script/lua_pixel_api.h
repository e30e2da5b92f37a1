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

// The error a stopped script ends with.
inline constexpr const char* kStoppedMessage = "the script was stopped (Escape)";

// Raises a Lua error when the host has asked the run to stop.
void CheckStop(lua_State* L);

}  // namespace script
