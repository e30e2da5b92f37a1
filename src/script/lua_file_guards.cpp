#include "script/lua_file_guards.h"

#include <sys/stat.h>

#include <initializer_list>

namespace script {
namespace {

// The original function is upvalue 1; a string first argument naming a special file is refused.
int regular_files_only(lua_State* L) {
  if (lua_type(L, 1) == LUA_TSTRING && IsSpecialFile(lua_tostring(L, 1)))
    return luaL_error(L, "'%s' is not a regular file", lua_tostring(L, 1));
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 1);
  lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
  return lua_gettop(L);
}

}  // namespace

bool IsSpecialFile(const char* path) {
  struct stat info;
  return path && ::stat(path, &info) == 0 && !S_ISREG(info.st_mode);
}

void InstallFileGuards(lua_State* L) {
  lua_getfield(L, LUA_GLOBALSINDEX, "io");
  if (lua_istable(L, -1)) {
    for (const char* name : {"open", "lines", "input", "output"}) {
      lua_getfield(L, -1, name);
      if (lua_isfunction(L, -1)) {
        lua_pushcclosure(L, regular_files_only, 1);
        lua_setfield(L, -2, name);
      } else {
        lua_pop(L, 1);
      }
    }
  }
  lua_pop(L, 1);
}

}  // namespace script
