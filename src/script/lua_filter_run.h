// Running one user filter script over the processing buffers.
#pragma once

#include <cstdint>

#include "engine/filter_script_runner.h"

namespace script {

using FilterRunArguments = engine::FilterScriptArguments;

// Runs the script with a fresh Lua state: the source buffer 32 is what it reads, the destination
// buffer 32 what it writes, and on success the destination goes into the current layer through the
// mask and the texture. Load and run errors are shown in a "Lua Script Error" message box; the
// layer then keeps what it was, apart from what the script already flushed, merged or masked.
void LuaFilterRun(const FilterRunArguments& arguments);

}  // namespace script
