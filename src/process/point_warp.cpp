// The push warp between two points.
#include "engine/engine_state.h"
#include "engine/layer_load_rgba32.h"
#include "imaging/push_warp.h"
#include "engine/alpha_filters.h"
#include "process/drawing.h"
#include "engine/processing_buffers.h"

namespace process {

void WarpPointToPoint(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const engine::EngineState& s = engine::State();
  uint8_t* source = engine::UsableSrcBuffer32();
  uint8_t* destination = engine::UsableDstBuffer32();
  if (!source || !destination) return;
  const uint32_t width = uint32_t(s.canvasWidth), height = uint32_t(s.canvasHeight);
  engine::AdjustRGBA32PreFilter(source, s.canvasWidth, s.canvasHeight);
  if (!imaging::is5_PushImage(source, width, height, 4, width * 4, destination, 0, 0, {x1, y1},
                              {x0, y0}, 0))
    return;
  engine::AdjustRGBA32PostFilter(destination, s.canvasWidth, s.canvasHeight);
  engine::LoadRGBA32(destination, s.canvasWidth * 4, 1);
}

}  // namespace process
