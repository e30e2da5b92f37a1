// The paint_ functions of filter scripts: each records painting steps as lines of the paint script.
#pragma once

#include "script/lua_headers.h"

namespace script {

void RegisterPaintApi(lua_State* L);

}  // namespace script
