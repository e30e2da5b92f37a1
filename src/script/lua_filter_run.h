// Running one user filter script over the processing buffers.
#pragma once

#include <cstdint>

namespace script {

struct FilterRunArguments {
  const char* scriptPath = nullptr;
  int32_t sliders[6] = {};  // thousandths
  int32_t styles[2] = {};   // zero-based
  int32_t flags[6] = {};    // low byte used
};

// Runs the script with a fresh Lua state: the source buffer 32 is what it reads, the destination
// buffer 32 what it writes, and on success the destination goes into the current layer through the
// mask and the texture. Load and run errors are shown in a "Lua Script Error" message box; the
// layer then keeps what it was, apart from what the script already flushed, merged or masked.
void LuaFilterRun(const FilterRunArguments& arguments);

}  // namespace script
