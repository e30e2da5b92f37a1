// Library functions that call back into the script, replaced by versions that keep a stopped run
// stopped and bound the C stack.
#pragma once

#include "script/lua_headers.h"

namespace script {

// pcall, xpcall and coroutine.resume raise a run's stop again as soon as the call they protect
// returns, so no script can catch it; string.gsub, string.gsub's friends that take functions,
// table.sort, tostring, the protected calls and coroutine.resume refuse to nest deeper than
// kMaxNestedCalls.
void InstallCallGuards(lua_State* L);

}  // namespace script
