#include "safe_lua.h"

#include "palmora/lua.h"

namespace host {

SafeLuaMode::SafeLuaMode(bool on) { PMR_SetLuaSafeMode(on ? 1 : 0); }
SafeLuaMode::~SafeLuaMode() { PMR_SetLuaSafeMode(0); }

}  // namespace host
