#include "engine/colour_pickers.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/layer_stack.h"
#include "engine/pixel_formats.h"
#include "engine/transfer_checks.h"
#include "engine/undo_store.h"

namespace engine {
namespace {

bool InCanvas(int32_t x, int32_t y) {
  const EngineState& s = State();
  return x >= 0 && y >= 0 && x < s.canvasWidth && y < s.canvasHeight;
}

const uint16_t* CanvasPixel(const uint16_t* plane, int32_t x, int32_t y) {
  return plane + (std::size_t(y) * std::size_t(State().canvasWidth) + std::size_t(x)) * 4;
}

}  // namespace

int32_t GetChannel64(int32_t x, int32_t y, int32_t channel) {
  const LayerRecord* layer = CurrentCanvasLayer();
  if (!layer || !InCanvas(x, y) || channel < 0 || channel > 3) return 0;
  return CanvasPixel(layer->pixels, x, y)[channel];
}

int32_t GetMask64(int32_t x, int32_t y) {
  const uint16_t* mask = ActiveMask();
  if (!mask || !CurrentCanvasLayer() || !InCanvas(x, y)) return 0;
  return 65535 - mask[std::size_t(y) * std::size_t(State().canvasWidth) + std::size_t(x)];
}

uint32_t GetRGBAAt(int32_t x, int32_t y, const uint16_t* plane) {
  const EngineState& s = State();
  if (!plane || s.canvasWidth <= 0 || s.canvasHeight <= 0) return 0;
  const uint16_t* p =
      CanvasPixel(plane, std::clamp(x, 0, s.canvasWidth - 1), std::clamp(y, 0, s.canvasHeight - 1));
  return uint32_t{High8(p[0])} << 24 | uint32_t{High8(p[1])} << 16 | uint32_t{High8(p[2])} << 8 |
         High8(p[3]);
}

uint32_t GetColorAt(int32_t x, int32_t y, const uint16_t* plane) {
  if (!plane) return 0;
  if (!InCanvas(x, y)) return 0xFFFFFF;
  const uint16_t* p = CanvasPixel(plane, x, y);
  return uint32_t{High8(p[3])} << 24 | uint32_t{High8(p[0])} << 16 | uint32_t{High8(p[1])} << 8 |
         High8(p[2]);
}

const uint16_t* SurfacePlane() {
  const LayerRecord* layer = CurrentCanvasLayer();
  return layer ? layer->pixels : nullptr;
}

const uint16_t* UnderLayerPlane() { return State().undo.historyBack; }

const uint16_t* LayerPlane(int32_t index) {
  const LayerRecord* layer = CanvasLayer(index);
  return layer ? layer->pixels : nullptr;
}

const uint16_t* TracePlane() {
  const LayerRecord* trace = State().traceLayer;
  return IsCanvasSized(trace) ? trace->pixels : nullptr;
}

uint32_t GetColorAtHistory(int32_t x, int32_t y) {
  return CanUndo() ? GetColorAt(x, y, UnderLayerPlane()) : 0;
}

}  // namespace engine
