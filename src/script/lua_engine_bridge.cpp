#include "script/lua_engine_bridge.h"

#include <cstring>

#include "render/composite_rgba32_into_layer.h"
#include "engine/engine_state.h"
#include "engine/layer_load_rgba32.h"
#include "engine/layer_read_8bit.h"
#include "engine/mask_texture_weight.h"
#include "engine/merge_mode_names.h"

namespace script {

namespace {

std::size_t BufferBytes(const LuaRunContext& run) {
  return std::size_t(run.width) * std::size_t(run.height) * 4;
}

}  // namespace

void LoadDestinationIntoLayer(const LuaRunContext& run) {
  engine::LoadRGBA32(run.dst, run.width * 4, 1);
}

void FlushDestination(LuaRunContext& run) {
  engine::LoadRGBA32(run.dst, run.width * 4, 1);
  std::memcpy(run.src, run.dst, BufferBytes(run));
}

void MergeDestination(LuaRunContext& run, int32_t mode, int32_t opacity) {
  engine::EngineState& s = engine::State();
  engine::LayerRecord* layer = s.currentLayer;
  if (!layer || !layer->pixels || layer->width != s.canvasWidth || layer->height != s.canvasHeight)
    return;
  // A mode number the compositor does not know would index past its tables: leave the layer.
  if (mode < 0 || mode >= engine::kMergeModeCount) return;
  engine::AdjustRGBA32ByMaskAndTexture(run.dst, run.width, run.height);
  if (!render::CompositeRGBA32IntoLayer(run.dst, layer->pixels, mode, 0, opacity, layer->alphaLock))
    return;
  engine::GetRGBA32Layer(run.src, run.width * 4, s.currentLayerIndex);
}

BrushColours ReadBrushColours() {
  const engine::EngineState& s = engine::State();
  BrushColours colours{};
  for (int c = 0; c < 3; ++c) {
    colours.colour[c] = uint8_t(s.brushColor[c] >> 8);
    for (int k = 0; k < 4; ++k) colours.banks[k][c] = uint8_t(s.colorBanks[c][k] >> 8);
  }
  return colours;
}

}  // namespace script
