#include "engine/transfer_checks.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/layer_stack.h"

namespace engine {

LayerRecord* CanvasLayer(int32_t index) {
  LayerRecord* layer = LayerWithPixels(index);
  return IsCanvasSized(layer) ? layer : nullptr;
}

LayerRecord* CurrentCanvasLayer() {
  LayerRecord* layer = State().currentLayer;
  return IsCanvasSized(layer) ? layer : nullptr;
}

bool RowHolds(int32_t rowBytes, int64_t pixels, int32_t bytesPerPixel) {
  return rowBytes >= 0 && int64_t{rowBytes} >= pixels * bytesPerPixel;
}

const uint16_t* ActiveMask() {
  const EngineState& s = State();
  return s.maskEnabled ? s.maskPlane : nullptr;
}

ClippedRect ClipRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t width, int32_t height) {
  ClippedRect r;
  r.x0 = static_cast<int32_t>(std::max<int64_t>(x, 0));
  r.y0 = static_cast<int32_t>(std::max<int64_t>(y, 0));
  r.x1 = static_cast<int32_t>(std::clamp<int64_t>(int64_t{x} + w, 0, std::max(width, 0)));
  r.y1 = static_cast<int32_t>(std::clamp<int64_t>(int64_t{y} + h, 0, std::max(height, 0)));
  return r;
}

}  // namespace engine
