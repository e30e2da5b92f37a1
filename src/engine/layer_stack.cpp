#include "engine/layer_stack.h"

#include <climits>
#include <cstring>
#include <new>
#include <utility>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/texture_plane.h"
#include "engine/undo_store.h"
#include "engine/merge_mode_names.h"

namespace engine {
namespace {

void RecomputeTopLayerIndex(EngineState& s) {
  s.topLayerIndex = 1;
  for (int32_t index = kLayerSlots - 1; index >= 1; --index) {
    if (s.layers[index].pixels) {
      s.topLayerIndex = index;
      return;
    }
  }
}

// Allocates a layer plane, giving up undo history while memory stays short.
uint16_t* AllocateLayerPixels(std::size_t bytes) {
  const auto kb = static_cast<int32_t>(bytes / 1024);
  for (;;) {
    if (void* block = TryAllocateBytes(bytes)) return static_cast<uint16_t*>(block);
    if (!CanUndo() && GetRedoCount() == 0) return nullptr;
    const int32_t usedBefore = State().undo.undoUsedKB;
    const int32_t stepsBefore = GetUndoCount();
    ReduceUndo(kb);
    // Steps that hold only a mask are not released by ReduceUndo; stop once nothing moves.
    if (State().undo.undoUsedKB == usedBefore && GetUndoCount() == stepsBefore &&
        GetRedoCount() == 0) {
      return nullptr;
    }
  }
}

}  // namespace

LayerRecord* LayerSlot(int32_t index) {
  if (index < 0 || index >= kLayerSlots) return nullptr;
  return &State().layers[index];
}

LayerRecord* LayerWithPixels(int32_t index) {
  LayerRecord* layer = LayerSlot(index);
  return (layer && layer->pixels) ? layer : nullptr;
}

bool IsCanvasSized(const LayerRecord* layer) {
  const EngineState& s = State();
  return layer && layer->pixels && layer->width == s.canvasWidth && layer->height == s.canvasHeight;
}

uint16_t OpacityFromPercent(int32_t percent) {
  // Opacity lives in 0..256; a percentage outside 0..100 would push products past 16 bits.
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  return static_cast<uint16_t>(static_cast<int32_t>(percent * 2.56));
}

void StoreLayerName(LayerRecord& layer, const char* name) {
  std::memset(layer.name, 0, sizeof layer.name);
  if (name && strnlen(name, kLayerNameBytes) < kLayerNameBytes) std::strcpy(layer.name, name);
}

int32_t CreateLayer(int32_t index, int32_t width, int32_t height) {
  LayerRecord* layer = LayerSlot(index);
  if (!layer || width <= 0 || height <= 0) return 0;
  std::size_t bytes;
  try {
    // A row's length in bytes is a 32-bit figure wherever rows are handed across the interface.
    if (int64_t{width} * 8 > INT32_MAX) throw std::bad_alloc();
    bytes = PlaneBytes(width, height, 8);
  } catch (const std::bad_alloc&) {
    SetLastError("CreateLayer Excpt");
    return 0;
  }
  if (layer->pixels && (layer->width != width || layer->height != height)) {
    ReleasePlane(layer->pixels);
  }
  layer->width = width;
  layer->height = height;
  layer->stride = 4 * width;
  if (!layer->pixels) {
    layer->pixels = AllocateLayerPixels(bytes);
    if (!layer->pixels) {
      SetLastError("CreateLayer Excpt");
      return 0;
    }
  }
  std::memset(layer->pixels, index == 1 ? 0xFF : 0x00, bytes);
  return 1;
}

void DeleteLayer(int32_t index) {
  if (LayerRecord* layer = LayerWithPixels(index)) ReleasePlane(layer->pixels);
}

void SetLayer(int32_t index) {
  EngineState& s = State();
  LayerRecord* layer = LayerWithPixels(index);
  if (!layer) return;
  if (layer->mergeMode == engine::kModeTexturize3) DeleteTexture();
  if (index != s.currentLayerIndex && s.currentLayer && s.currentLayer->visible &&
      s.currentLayer->mergeMode == engine::kModeTexturize3) {
    CreateTexture(s.currentLayerIndex);
  }
  s.currentLayer = layer;
  s.currentLayerIndex = index;
  SaveUndoBackBuffer(index);
}

int32_t GetLayerCount() {
  int32_t count = 0;
  for (const auto& layer : State().layers) count += layer.pixels ? 1 : 0;
  return count;
}

int32_t SetLayerOptions(int32_t index, int32_t visible, int32_t alphaLock, int32_t opacityPercent,
                        const char* modeName) {
  EngineState& s = State();
  LayerRecord* layer = LayerSlot(index);
  if (!layer || !modeName) return 0;
  if (layer->mergeMode == engine::kModeTexturize3) DeleteTexture();
  layer->visible = static_cast<uint8_t>(visible);
  layer->alphaLock = static_cast<uint8_t>(alphaLock);
  layer->opacity = OpacityFromPercent(opacityPercent);
  StoreLayerName(*layer, modeName);
  layer->mergeMode = engine::MergeModeFromName(modeName);
  RecomputeTopLayerIndex(s);
  if (index != s.currentLayerIndex && layer->visible &&
      layer->mergeMode == engine::kModeTexturize3) {
    return CreateTexture(index);
  }
  return layer->mergeMode;
}

void SwapLayers(int32_t indexA, int32_t indexB) {
  LayerRecord* a = LayerSlot(indexA);
  LayerRecord* b = LayerSlot(indexB);
  if (!a || !b) return;
  std::swap(*a, *b);
}

}  // namespace engine
