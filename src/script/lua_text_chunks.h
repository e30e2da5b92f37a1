// Loading Lua source only. Precompiled chunks are refused everywhere a script can load code: the
// loaders for both Luas trust a precompiled chunk's contents, and a damaged one reads and writes
// out of bounds.
#pragma once

#include <cstddef>

#include "script/lua_headers.h"

namespace script {

// True when the text would be taken as a precompiled chunk: its first byte, after an optional
// UTF-8 byte-order mark and an optional first line starting with '#', is the escape character.
bool LooksPrecompiled(const char* text, std::size_t length);

// luaL_loadbuffer for source text only: a precompiled chunk leaves an error message on the stack
// and returns LUA_ERRSYNTAX.
int LoadSourceBuffer(lua_State* L, const char* text, std::size_t length, const char* chunkName);

// luaL_loadfile for source files only (null: standard input); the chunk is named "@path".
int LoadSourceFile(lua_State* L, const char* path);

// Replaces load, loadstring, loadfile and dofile (and the Lua-file searcher of require, when the
// package library is open) with versions that refuse precompiled chunks.
void InstallSourceOnlyLoaders(lua_State* L);

}  // namespace script
