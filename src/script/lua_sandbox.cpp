#include "script/lua_sandbox.h"

#include <algorithm>
#include <cstdlib>

#include "script/lua_call_guards.h"
#include "script/lua_file_guards.h"
#include "script/lua_pixel_api.h"
#include "script/lua_run_context.h"
#include "script/lua_text_chunks.h"

#if PALMORA_LUAJIT
extern "C" {
#include <luajit.h>
}
#endif

namespace script {
namespace {
std::size_t g_memoryLimit = kDefaultLuaMemoryLimit;
int64_t g_timeLimitMs = 0;
bool g_safe = false;
constexpr int kHookInterval = 1 << 14;  // instructions between stop checks

// Scripts may not end the host process, nor take away the hook that stops them, nor (in a run
// that must stay stoppable) turn the compiler back on.
int RefuseExit(lua_State* L) { return luaL_error(L, "os.exit is not available to filters"); }
int RefuseSetHook(lua_State* L) {
  return luaL_error(L, "debug.sethook is not available to filters");
}
int RefuseJitOn(lua_State* L) { return luaL_error(L, "jit.on is not available to this filter"); }

struct Setup {
  bool safe;
  bool mustStop;
};

void ReplaceField(lua_State* L, const char* table, const char* name, lua_CFunction fn) {
  lua_getfield(L, LUA_GLOBALSINDEX, table);
  if (lua_istable(L, -1)) {
    lua_pushcclosure(L, fn, 0);
    lua_setfield(L, -2, name);
  }
  lua_pop(L, 1);
}

void OpenLibrary(lua_State* L, lua_CFunction open, const char* name) {
  lua_pushcfunction(L, open);
  lua_pushstring(L, name);
  lua_call(L, 1, 0);
}

void ClearGlobal(lua_State* L, const char* name) {
  lua_pushnil(L);
  lua_setfield(L, LUA_GLOBALSINDEX, name);
}

// Runs in protected mode: a memory failure while the libraries open is an error, not a panic.
int OpenLibraries(lua_State* L) {
  const Setup* setup = static_cast<const Setup*>(lua_touserdata(L, 1));
  if (setup->safe) {
    OpenLibrary(L, luaopen_base, "");
    OpenLibrary(L, luaopen_table, LUA_TABLIBNAME);
    OpenLibrary(L, luaopen_string, LUA_STRLIBNAME);
    OpenLibrary(L, luaopen_math, LUA_MATHLIBNAME);
#if PALMORA_LUAJIT
    OpenLibrary(L, luaopen_bit, LUA_BITLIBNAME);
#endif
  } else {
    luaL_openlibs(L);
    ReplaceField(L, "os", "exit", RefuseExit);
    ReplaceField(L, "debug", "sethook", RefuseSetHook);
    if (setup->mustStop) ReplaceField(L, "jit", "on", RefuseJitOn);
    InstallFileGuards(L);
  }
  InstallSourceOnlyLoaders(L);
  if (setup->safe) {
    // No file access at all: neither loading code from files nor the module system.
    ClearGlobal(L, "loadfile");
    ClearGlobal(L, "dofile");
    ClearGlobal(L, "require");
    ClearGlobal(L, "module");
  }
  InstallCallGuards(L);
  return 0;
}

}  // namespace

void SetLuaMemoryLimit(std::size_t bytes) {
  g_memoryLimit = bytes ? bytes : kDefaultLuaMemoryLimit;
}
std::size_t LuaMemoryLimit() { return g_memoryLimit; }
void SetLuaTimeLimit(int64_t milliseconds) { g_timeLimitMs = std::max<int64_t>(milliseconds, 0); }
int64_t LuaTimeLimit() { return g_timeLimitMs; }
void SetLuaSafeMode(bool on) { g_safe = on; }
bool LuaSafeMode() { return g_safe; }

void* LuaSandbox::Allocate(void* opaque, void* block, std::size_t oldSize, std::size_t newSize) {
  auto* budget = static_cast<Budget*>(opaque);
  const std::size_t held = block ? oldSize : 0;
  if (newSize == 0) {
    std::free(block);
    budget->used -= held;
    return nullptr;
  }
  // Growing past the ceiling fails like any allocation; Lua turns it into a script error, and the
  // run stays stopped so that the script cannot catch the failure and go on growing.
  if (newSize > held && newSize - held > budget->limit - budget->used) {
    if (LuaRunContext* run = CurrentRun()) run->Stop(kMemoryLimitMessage);
    return nullptr;
  }
  void* grown = std::realloc(block, newSize);
  if (!grown) return nullptr;
  budget->used = budget->used - held + newSize;
  return grown;
}

void LuaSandbox::Hook(lua_State* L, lua_Debug*) { CheckStopAndTime(L); }

LuaSandbox::LuaSandbox(bool safe, bool mustStop) {
  budget_.limit = safe ? std::min(g_memoryLimit, kSafeLuaMemoryLimit) : g_memoryLimit;
  state_ = lua_newstate(&LuaSandbox::Allocate, &budget_);
  if (!state_) return;
  Setup setup{safe, mustStop};
  if (lua_cpcall(state_, OpenLibraries, &setup) != 0) {
    lua_close(state_);
    state_ = nullptr;
    return;
  }
#if PALMORA_LUAJIT
  if (mustStop) luaJIT_setmode(state_, 0, LUAJIT_MODE_ENGINE | LUAJIT_MODE_OFF);
#endif
  lua_sethook(state_, &LuaSandbox::Hook, LUA_MASKCOUNT, kHookInterval);
}

LuaSandbox::~LuaSandbox() {
  if (state_) lua_close(state_);
}

}  // namespace script
