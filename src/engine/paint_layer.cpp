#include "engine/paint_layer.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_stack.h"
#include "imaging/plane_filters.h"
#include "engine/merge_mode_names.h"

namespace engine {
namespace {

std::size_t PaintLayerBytes(const LayerRecord& layer) {
  return PlaneBytes(layer.width, layer.height, 8);
}

}  // namespace

void EmptyPaintLayerRect() {
  EngineState& s = State();
  s.paintLayer.changed = {s.canvasWidth, s.canvasHeight, 0, 0};
}

int32_t CreatePaintLayer(int32_t opacityPercent, const char* modeName) {
  EngineState& s = State();
  LayerRecord& layer = s.paintLayer;
  if (!modeName) return 0;
  if (!layer.pixels) {
    const std::size_t bytes = PlaneBytes(s.canvasWidth, s.canvasHeight, 8);
    layer.pixels = AllocatePlane<uint16_t>(bytes / 2);
    layer.width = s.canvasWidth;
    layer.height = s.canvasHeight;
    layer.stride = 4 * s.canvasWidth;
    ClearPaintLayer();
  }
  StoreLayerName(layer, modeName);
  layer.visible = 1;
  layer.alphaLock = 0;
  layer.opacity = OpacityFromPercent(opacityPercent);
  layer.mergeMode = engine::MergeModeFromName(modeName);
  return layer.mergeMode;
}

void ClearPaintLayer() {
  LayerRecord& layer = State().paintLayer;
  if (!layer.pixels) return;
  std::memset(layer.pixels, 0, PaintLayerBytes(layer));
  EmptyPaintLayerRect();
}

void ClearPaintLayer_old() {
  LayerRecord& layer = State().paintLayer;
  if (!layer.pixels) return;
  std::memset(layer.pixels, 0xFF, PaintLayerBytes(layer));
  const ChangedRect& r = layer.changed;
  const int32_t left = std::max(r.left, 0), top = std::max(r.top, 0);
  const int32_t right = std::min(r.right, layer.width), bottom = std::min(r.bottom, layer.height);
  for (int32_t y = top; y < bottom && left < right; ++y) {
    std::memset(layer.pixels + std::size_t(y) * layer.stride + std::size_t(left) * 4, 0,
                std::size_t(right - left) * 8);
  }
  EmptyPaintLayerRect();
}

void DeletePaintLayer() { ReleasePlane(State().paintLayer.pixels); }

void BlurPaintLayerAlpha() {
  LayerRecord& layer = State().paintLayer;
  if (!layer.pixels || layer.width <= 0 || layer.height <= 0) return;
  const std::size_t count = PlaneBytes(layer.width, layer.height, 1);
  OwnedPlane<uint8_t> before = MakeOwnedPlane<uint8_t>(count);
  OwnedPlane<uint8_t> blurred = MakeOwnedPlane<uint8_t>(count);
  for (int32_t y = 0; y < layer.height; ++y) {
    const uint16_t* p = layer.pixels + std::size_t(y) * layer.stride;
    uint8_t* a = before.get() + std::size_t(y) * layer.width;
    for (int32_t x = 0; x < layer.width; ++x) a[x] = static_cast<uint8_t>(p[4 * x + 3] >> 8);
  }
  if (!imaging::IS3BlurImage(before.get(), layer.width, layer.height, 1, layer.width, blurred.get(),
                             layer.width, 100, 1)) {
    return;
  }
  for (int32_t y = 0; y < layer.height; ++y) {
    uint16_t* p = layer.pixels + std::size_t(y) * layer.stride;
    const uint8_t* a = before.get() + std::size_t(y) * layer.width;
    const uint8_t* b = blurred.get() + std::size_t(y) * layer.width;
    for (int32_t x = 0; x < layer.width; ++x) {
      p[4 * x + 3] = a[x] >= 240 ? 65535 : static_cast<uint16_t>(b[x] << 8);
    }
  }
}

}  // namespace engine
