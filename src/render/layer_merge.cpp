#include "render/layer_merge.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/layer_stack.h"
#include "engine/paint_layer.h"
#include "render/composite_layer_rect.h"
#include "render/merge_mode_names.h"

namespace render {

int32_t FindLayerMaskAbove(int32_t layer) {
  const engine::EngineState& s = engine::State();
  if (layer < 0 || layer >= engine::kLayerSlots || layer >= s.topLayerIndex) return 0;
  const int32_t top = std::min(s.topLayerIndex, engine::kLayerSlots - 1);
  for (int32_t index = layer + 1; index <= top; ++index) {
    const engine::LayerRecord& above = s.layers[index];
    if (above.pixels && above.visible) return above.mergeMode == kModeLayerMask ? index : 0;
  }
  return 0;
}

const uint16_t* LayerMaskPixelsFor(int32_t layer) {
  const int32_t index = FindLayerMaskAbove(layer);
  if (index == 0) return nullptr;
  const engine::LayerRecord* mask = engine::LayerSlot(index);
  return engine::IsCanvasSized(mask) ? mask->pixels : nullptr;
}

const engine::LayerRecord* MergeableLayer(int32_t index) {
  const engine::LayerRecord* layer = engine::LayerWithPixels(index);
  return engine::IsCanvasSized(layer) ? layer : nullptr;
}

void CompositeLayerIntoHostRows(int32_t index, const engine::LayerRecord& layer, uint16_t* buffer,
                                const HostRect& rect, int32_t firstRow, int32_t endRow) {
  const uint16_t* mask = LayerMaskPixelsFor(index);
  const int32_t stride = engine::State().canvasStride;
  CompositeLayerRect(layer.pixels, rect.left, firstRow, rect.right - rect.left, endRow - firstRow,
                     stride, mask, buffer, rect.left - rect.x, firstRow - rect.y,
                     static_cast<int32_t>(rect.stride), layer.mergeMode,
                     mask ? kClipFlagLayerMask : 0, layer.opacity, 0, 0);
}

bool HostLayerJob(int32_t index, const engine::LayerRecord& layer, uint16_t* buffer,
                  const HostRect& rect, CompositeJob& job) {
  const uint16_t* mask = LayerMaskPixelsFor(index);
  return MakeCompositeJob(layer.pixels, rect.left, rect.top, rect.right - rect.left,
                          rect.bottom - rect.top, engine::State().canvasStride, mask, buffer,
                          rect.left - rect.x, rect.top - rect.y, static_cast<int32_t>(rect.stride),
                          layer.mergeMode, mask ? kClipFlagLayerMask : 0, layer.opacity, 0, 0, job);
}

void MergeLayer(int32_t source, int32_t destination) {
  const engine::LayerRecord* from = MergeableLayer(source);
  const engine::LayerRecord* into = MergeableLayer(destination);
  if (!from || !into) return;
  const engine::EngineState& s = engine::State();
  const uint16_t* mask = LayerMaskPixelsFor(source);
  const bool sameAlphaMode = from->mergeMode == into->mergeMode && IsAlphaMode(from->mergeMode);
  CompositeLayerRect(from->pixels, 0, 0, s.canvasWidth, s.canvasHeight, s.canvasStride, mask,
                     into->pixels, 0, 0, s.canvasStride, from->mergeMode,
                     mask ? kClipFlagLayerMask : 0, from->opacity, 0, sameAlphaMode ? 1 : 0);
}

void MergeLayerIntoRect(int32_t layer, uint16_t* buffer, int32_t x, int32_t y, int32_t width,
                        int32_t height) {
  const engine::LayerRecord* from = MergeableLayer(layer);
  HostRect rect;
  if (!from || !buffer || !MakeHostRect(x, y, width, height, rect) || rect.OnCanvasEmpty()) return;
  CompositeLayerIntoHostRows(layer, *from, buffer, rect, rect.top, rect.bottom);
}

void MergeLayerInto(int32_t layer, uint16_t* buffer) {
  const engine::EngineState& s = engine::State();
  MergeLayerIntoRect(layer, buffer, 0, 0, s.canvasWidth, s.canvasHeight);
}

void MergePaintLayer(int32_t destination) {
  engine::EngineState& s = engine::State();
  const engine::LayerRecord& paint = s.paintLayer;
  const engine::LayerRecord* into = MergeableLayer(destination);
  if (!into || !engine::IsCanvasSized(&paint)) return;
  // The changed rectangle is half-open; an empty or stale one composites nothing.
  const engine::ChangedRect& r = paint.changed;
  const int32_t left = std::max(r.left, 0), top = std::max(r.top, 0);
  const int32_t right = std::min(r.right, s.canvasWidth);
  const int32_t bottom = std::min(r.bottom, s.canvasHeight);
  if (left < right && top < bottom) {
    // The lock of the layer being painted, which is the one the stroke went to.
    const uint8_t lock = s.currentLayer ? s.currentLayer->alphaLock : 0;
    CompositeLayerRect(paint.pixels, left, top, right - left, bottom - top, s.canvasStride, nullptr,
                       into->pixels, left, top, s.canvasStride, paint.mergeMode, 0, paint.opacity,
                       lock, 0);
  }
  engine::ClearPaintLayer();
}

int32_t SetAlphaLayerOpacity(int32_t percent) {
  // The alpha is 16 bits: percentages outside 0..100 would wrap.
  percent = std::clamp(percent, 0, 100);
  engine::State().alphaLayerOpacity = static_cast<uint16_t>(percent * 0.01 * 65535);
  return engine::State().alphaLayerOpacity;
}

}  // namespace render
