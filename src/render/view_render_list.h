// The layers a view render composites, bottom to top, with every per-entry constant worked out once
// per call.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"

namespace render {

struct ViewEntry {
  const uint16_t* pixels = nullptr;  // RGBA64 with the canvas stride
  const uint16_t* clip = nullptr;    // the "Layer Mask" layer that scales this entry's alpha
  int32_t mode = 0;
  int32_t opacityScale = 0;  // opacity + 1 when the opacity reduces alpha, else 0
  bool background = false;   // layer 1 at the bottom: fully opaque whatever its own alpha
  bool alphaMode = false;
  // Full opacity and a Normal-rule mode (or an alpha mode that may keep one): some pixels of the
  // entry can replace all that lies below them.
  bool mayReplace = false;
};

// One entry per layer slot and one for the paint layer.
inline constexpr int kViewEntryCapacity = engine::kLayerSlots + 1;

struct ViewRenderList {
  ViewEntry entries[kViewEntryCapacity];
  int32_t count = 0;
};

// Walks slots 1..63 and appends each visible canvas-sized layer that is not a "Texturize3"
// texture layer; right after the slot that holds the current layer's pixels comes the paint
// layer, visible or not, and even when the current layer itself was left out. A paint layer in
// "Texturize3" leaves the view as it is (the mode keeps the destination unchanged and marks a
// texture source, which the view never shows), so it takes no entry. Layers that do not match the
// canvas size are left out: the renderer reads every entry at canvas positions.
void BuildViewRenderList(const engine::EngineState& s, ViewRenderList& list);

}  // namespace render
