// The engine operations a filter run needs: moving the destination buffer into the current layer
// and reading the brush colours. Kept apart so the Lua code deals only with Lua.
#pragma once

#include <cstdint>

#include "script/lua_run_context.h"

namespace script {

// Writes the destination buffer into the current layer through the mask and the texture.
void LoadDestinationIntoLayer(const LuaRunContext& run);
// flush: writes the destination into the current layer, then copies it over the source.
void FlushDestination(LuaRunContext& run);
// merge: composites the destination (its alpha adjusted by mask and texture) onto the current
// layer with a merge mode and an opacity on the 0..255 scale, then rereads the layer as the source.
void MergeDestination(LuaRunContext& run, int32_t mode, int32_t opacity);

struct BrushColours {
  uint8_t colour[3];    // the brush colour's high bytes
  uint8_t banks[4][3];  // colour banks 0..3
};
BrushColours ReadBrushColours();

}  // namespace script
