// Scripts open regular files only: a device or a pipe can block a reading library function
// forever (a FIFO blocks on open; the reference Lua reads /dev/zero's lines in an endless loop that
// no hook reaches), and no filter has reason to read one.
#pragma once

#include "script/lua_headers.h"

namespace script {

// True when path names something other than a regular file (a missing path is left to the
// caller's own error).
bool IsSpecialFile(const char* path);

// Wraps io.open, io.lines, io.input and io.output, when the io library is open, to refuse such
// paths.
void InstallFileGuards(lua_State* L);

}  // namespace script
