#include "script/lua_text_chunks.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "script/lua_file_guards.h"

namespace script {
namespace {

constexpr const char* kRefused = "precompiled chunks are not accepted";

int PushLoadResult(lua_State* L, int status) {
  if (status == 0) return 1;
  lua_pushnil(L);
  lua_insert(L, -2);  // nil, message
  return 2;
}

int load_string(lua_State* L) {
  std::size_t length = 0;
  const char* text = luaL_checklstring(L, 1, &length);
  const char* name = luaL_optstring(L, 2, text);
  return PushLoadResult(L, LoadSourceBuffer(L, text, length, name));
}

// load(reader [, name]): the pieces are gathered first, so the whole text is checked. A string in
// place of the reader is the text itself, and a fourth argument the chunk's environment, as
// LuaJIT's load allows.
int load_pieces(lua_State* L) {
  if (lua_type(L, 1) == LUA_TSTRING) {
    std::size_t length = 0;
    const char* text = lua_tolstring(L, 1, &length);
    const bool hasEnvironment = !lua_isnoneornil(L, 4);
    const int status = LoadSourceBuffer(L, text, length, luaL_optstring(L, 2, text));
    if (status == 0 && hasEnvironment) {
      lua_pushvalue(L, 4);
      lua_setfenv(L, -2);
    }
    return PushLoadResult(L, status);
  }
  luaL_checktype(L, 1, LUA_TFUNCTION);
  const char* name = luaL_optstring(L, 2, "=(load)");
  lua_settop(L, 2);
  luaL_Buffer pieces;
  luaL_buffinit(L, &pieces);
  for (;;) {
    lua_pushvalue(L, 1);
    lua_call(L, 0, 1);
    if (lua_isnil(L, -1)) {
      lua_pop(L, 1);
      break;
    }
    if (!lua_isstring(L, -1)) return luaL_error(L, "reader function must return a string");
    luaL_addvalue(&pieces);
  }
  luaL_pushresult(&pieces);
  std::size_t length = 0;
  const char* text = lua_tolstring(L, -1, &length);
  return PushLoadResult(L, LoadSourceBuffer(L, text, length, name));
}

int load_file(lua_State* L) {
  const char* path = luaL_optstring(L, 1, nullptr);
  return PushLoadResult(L, LoadSourceFile(L, path));
}

int do_file(lua_State* L) {
  const char* path = luaL_optstring(L, 1, nullptr);
  const int base = lua_gettop(L);
  if (LoadSourceFile(L, path) != 0) return lua_error(L);
  lua_call(L, 0, LUA_MULTRET);
  return lua_gettop(L) - base;
}

// The Lua-file searcher of require: package.path's templates, '?' replaced by the module name with
// its dots turned into directory separators.
int search_lua_file(lua_State* L) {
  const char* name = luaL_checkstring(L, 1);
  lua_getfield(L, LUA_GLOBALSINDEX, "package");
  lua_getfield(L, -1, "path");
  const char* path = lua_tostring(L, -1);
  if (!path) return luaL_error(L, "package.path must be a string");
  std::string module = name;
  for (char& c : module)
    if (c == '.') c = '/';
  std::string tried;
  for (const char* at = path; *at;) {
    const char* end = std::strchr(at, ';');
    std::string templ(at, end ? std::size_t(end - at) : std::strlen(at));
    at = end ? end + 1 : at + templ.size();
    if (templ.empty()) continue;
    std::string file;
    for (char c : templ) {
      if (c == '?')
        file += module;
      else
        file += c;
    }
    if (std::FILE* probe = std::fopen(file.c_str(), "r")) {
      std::fclose(probe);
      if (LoadSourceFile(L, file.c_str()) != 0)
        return luaL_error(L, "error loading module '%s' from file '%s':\n\t%s", name, file.c_str(),
                          lua_tostring(L, -1));
      return 1;
    }
    tried += "\n\tno file '" + file + "'";
  }
  lua_pushstring(L, tried.c_str());
  return 1;
}

void SetField(lua_State* L, int table, const char* name, lua_CFunction fn) {
  lua_pushcclosure(L, fn, 0);
  lua_setfield(L, table, name);
}

}  // namespace

bool LooksPrecompiled(const char* text, std::size_t length) {
  std::size_t at = 0;
  if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) at = 3;
  if (at < length && text[at] == '#') {
    while (at < length && text[at] != '\n' && text[at] != '\r') ++at;
    while (at < length && (text[at] == '\n' || text[at] == '\r')) ++at;
  }
  return at < length && text[at] == '\x1b';
}

int LoadSourceBuffer(lua_State* L, const char* text, std::size_t length, const char* chunkName) {
  if (LooksPrecompiled(text, length)) {
    lua_pushfstring(L, "%s: %s", chunkName, kRefused);
    return LUA_ERRSYNTAX;
  }
  return luaL_loadbuffer(L, text, length, chunkName);
}

int LoadSourceFile(lua_State* L, const char* path) {
  const char* shown = path ? path : "stdin";
  if (IsSpecialFile(path)) {
    lua_pushfstring(L, "cannot read %s: not a regular file", shown);
    return LUA_ERRFILE;
  }
  std::FILE* file = path ? std::fopen(path, "rb") : stdin;
  if (!file) {
    lua_pushfstring(L, "cannot open %s: %s", shown, std::strerror(errno));
    return LUA_ERRFILE;
  }
  luaL_Buffer text;
  luaL_buffinit(L, &text);
  char piece[4096];
  std::size_t got;
  // A file that cannot be read to its end (a folder, say) is an error like a missing one.
  while ((got = std::fread(piece, 1, sizeof piece, file)) > 0) luaL_addlstring(&text, piece, got);
  const bool failed = std::ferror(file) != 0;
  if (path) std::fclose(file);
  luaL_pushresult(&text);
  if (failed) {
    lua_pop(L, 1);
    lua_pushfstring(L, "cannot read %s", shown);
    return LUA_ERRFILE;
  }
  std::size_t length = 0;
  const char* source = lua_tolstring(L, -1, &length);
  // A first line starting with '#' is skipped, as for any script file; its line end stays, so
  // line numbers are unchanged.
  const char* body = source;
  std::size_t bodyLength = length;
  if (length > 0 && source[0] == '#') {
    std::size_t end = 0;
    while (end < length && source[end] != '\n') ++end;
    body = source + end;
    bodyLength = length - end;
  }
  lua_pushfstring(L, "@%s", shown);
  const int status = LoadSourceBuffer(L, body, bodyLength, lua_tostring(L, -1));
  // Leave only the chunk or the message.
  lua_replace(L, -3);
  lua_pop(L, 1);
  return status;
}

void InstallSourceOnlyLoaders(lua_State* L) {
  SetField(L, LUA_GLOBALSINDEX, "loadstring", load_string);
  SetField(L, LUA_GLOBALSINDEX, "load", load_pieces);
  SetField(L, LUA_GLOBALSINDEX, "loadfile", load_file);
  SetField(L, LUA_GLOBALSINDEX, "dofile", do_file);
  lua_getfield(L, LUA_GLOBALSINDEX, "package");
  if (lua_istable(L, -1)) {
    lua_getfield(L, -1, "loaders");
    if (lua_istable(L, -1)) {
      lua_pushcclosure(L, search_lua_file, 0);
      lua_rawseti(L, -2, 2);
    }
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
}

}  // namespace script
