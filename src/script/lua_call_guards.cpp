#include "script/lua_call_guards.h"

#include "script/lua_limits.h"
#include "script/lua_pixel_api.h"
#include "script/lua_run_context.h"

namespace script {
namespace {

// Counts one more nested call for as long as it lasts. Every path out of the guarded call returns
// here (the call itself is protected), so the count always comes back down.
class NestedCall {
 public:
  explicit NestedCall(lua_State* L) : run_(CurrentRun()) {
    if (!run_) return;
    if (run_->nestedCalls >= kMaxNestedCalls)
      luaL_error(L, "C stack overflow (calls nested too deeply)");
    ++run_->nestedCalls;
  }
  ~NestedCall() {
    if (run_) --run_->nestedCalls;
  }
  NestedCall(const NestedCall&) = delete;
  NestedCall& operator=(const NestedCall&) = delete;

 private:
  LuaRunContext* run_;
};

// Calls the function below the arguments (stack: function, arguments) in protected mode and returns
// the status; the results or the error are left on the stack.
int ProtectedCall(lua_State* L, int functionIndex, int handlerIndex) {
  int status;
  {
    NestedCall nested(L);
    status = lua_pcall(L, lua_gettop(L) - functionIndex, LUA_MULTRET, handlerIndex);
  }
  CheckStop(L);  // a stopped run does not end at a protected call
  return status;
}

int guarded_pcall(lua_State* L) {
  luaL_checkany(L, 1);
  const int status = ProtectedCall(L, 1, 0);
  lua_pushboolean(L, status == 0);
  lua_insert(L, 1);
  return lua_gettop(L);
}

int guarded_xpcall(lua_State* L) {
  luaL_checkany(L, 2);
  lua_settop(L, 2);
  lua_insert(L, 1);  // handler, function
  const int status = ProtectedCall(L, 2, 1);
  lua_pushboolean(L, status == 0);
  lua_replace(L, 1);
  return lua_gettop(L);
}

// The original function is upvalue 1; errors pass through unchanged once the count is down.
int nesting_limited(lua_State* L) {
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 1);
  if (ProtectedCall(L, 1, 0) != 0) return lua_error(L);
  return lua_gettop(L);
}

// coroutine.resume reports the coroutine's errors as results; a stop is raised again here.
int guarded_resume(lua_State* L) { return nesting_limited(L); }

void Replace(lua_State* L, int table, const char* name, lua_CFunction guard) {
  lua_getfield(L, table, name);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  lua_pushcclosure(L, guard, 1);
  lua_setfield(L, table, name);
}

void ReplaceIn(lua_State* L, const char* library, const char* name, lua_CFunction guard) {
  lua_getfield(L, LUA_GLOBALSINDEX, library);
  if (lua_istable(L, -1)) Replace(L, lua_gettop(L), name, guard);
  lua_pop(L, 1);
}

}  // namespace

void InstallCallGuards(lua_State* L) {
  lua_pushcclosure(L, guarded_pcall, 0);
  lua_setfield(L, LUA_GLOBALSINDEX, "pcall");
  lua_pushcclosure(L, guarded_xpcall, 0);
  lua_setfield(L, LUA_GLOBALSINDEX, "xpcall");
  Replace(L, LUA_GLOBALSINDEX, "tostring", nesting_limited);
  ReplaceIn(L, "string", "gsub", nesting_limited);
  ReplaceIn(L, "table", "sort", nesting_limited);
  ReplaceIn(L, "table", "foreach", nesting_limited);
  ReplaceIn(L, "table", "foreachi", nesting_limited);
  ReplaceIn(L, "coroutine", "resume", guarded_resume);
}

}  // namespace script
