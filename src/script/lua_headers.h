// The Lua 5.1 C interface, from LuaJIT or from the reference Lua, whichever this object is built
// for.
#pragma once

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#ifndef PALMORA_LUAJIT
#define PALMORA_LUAJIT 0
#endif
