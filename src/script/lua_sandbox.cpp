#include "script/lua_sandbox.h"

#include <cstdlib>

#include "script/lua_pixel_api.h"

namespace script {
namespace {
std::size_t g_memoryLimit = kDefaultLuaMemoryLimit;
constexpr int kHookInterval = 1 << 14;  // instructions between stop checks

// Scripts may not end the host process.
int RefuseExit(lua_State* L) { return luaL_error(L, "os.exit is not available to filters"); }
}  // namespace

void SetLuaMemoryLimit(std::size_t bytes) { g_memoryLimit = bytes ? bytes : kDefaultLuaMemoryLimit; }
std::size_t LuaMemoryLimit() { return g_memoryLimit; }

void* LuaSandbox::Allocate(void* opaque, void* block, std::size_t oldSize, std::size_t newSize) {
  auto* budget = static_cast<Budget*>(opaque);
  const std::size_t held = block ? oldSize : 0;
  if (newSize == 0) {
    std::free(block);
    budget->used -= held;
    return nullptr;
  }
  // Growing past the ceiling fails like any allocation; Lua turns it into a script error.
  if (newSize > held && newSize - held > budget->limit - budget->used) return nullptr;
  void* grown = std::realloc(block, newSize);
  if (!grown) return nullptr;
  budget->used = budget->used - held + newSize;
  return grown;
}

void LuaSandbox::Hook(lua_State* L, lua_Debug*) { CheckStop(L); }

LuaSandbox::LuaSandbox() {
  budget_.limit = g_memoryLimit;
  state_ = lua_newstate(&LuaSandbox::Allocate, &budget_);
  if (!state_) return;
  luaL_openlibs(state_);
  lua_getfield(state_, LUA_GLOBALSINDEX, "os");
  if (lua_istable(state_, -1)) {
    lua_pushcclosure(state_, RefuseExit, 0);
    lua_setfield(state_, -2, "exit");
  }
  lua_pop(state_, 1);
  lua_sethook(state_, &LuaSandbox::Hook, LUA_MASKCOUNT, kHookInterval);
}

LuaSandbox::~LuaSandbox() {
  if (state_) lua_close(state_);
}

}  // namespace script
