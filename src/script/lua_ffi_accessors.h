// Under LuaJIT the hottest pixel functions are published as Lua functions over FFI pointers to the
// same buffers, so that the compiler sees through them into the script's loops. They give the same
// results as the C functions: same truncation, clipping, arithmetic and stop checks.
#pragma once

#include "script/lua_headers.h"
#include "script/lua_run_context.h"

namespace script {

// Replaces get/set_value, rgb, alpha, rgba and mask with their FFI forms. Does nothing (returns
// true) when built on the reference Lua; returns false if the accessors could not be installed, in
// which case the C functions stay in place.
bool InstallFfiAccessors(lua_State* L, LuaRunContext& run);

}  // namespace script
