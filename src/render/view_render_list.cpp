#include "render/view_render_list.h"

#include "engine/layer_stack.h"
#include "render/merge_mode_names.h"
#include "render/merge_modes.h"

namespace render {
namespace {

struct Candidate {
  const engine::LayerRecord* layer;
  bool isPaint;
};

bool Drawable(const engine::LayerRecord& layer) {
  return engine::IsCanvasSized(&layer) && layer.mergeMode >= 0 && layer.mergeMode < kMergeModeCount;
}

ViewEntry EntryFor(const engine::LayerRecord& layer) {
  ViewEntry e;
  e.pixels = layer.pixels;
  e.mode = layer.mergeMode;
  e.opacityScale = layer.opacity < 255 ? layer.opacity + 1 : 0;
  e.alphaMode = IsAlphaMode(layer.mergeMode);
  // Opacity below 255 caps alpha at (65535 x 255) >> 8 = 65279, short of a replacing pixel; a
  // "Layer Mask" entry has alpha 0 everywhere.
  const bool normalRule = e.alphaMode ? layer.mergeMode != kModeLayerMask
                                      : ModeInfo(layer.mergeMode).rule == BlendRule::kNormal;
  e.mayReplace = normalRule && e.opacityScale == 0;
  return e;
}

}  // namespace

void BuildViewRenderList(const engine::EngineState& s, ViewRenderList& list) {
  Candidate order[kViewEntryCapacity];
  int32_t count = 0;
  const uint16_t* current = s.currentLayer ? s.currentLayer->pixels : nullptr;
  const engine::LayerRecord& paint = s.paintLayer;
  const bool paintDrawable = Drawable(paint);
  for (int32_t index = 1; index < engine::kLayerSlots; ++index) {
    const engine::LayerRecord& layer = s.layers[index];
    if (layer.pixels && layer.visible && layer.mergeMode != kModeTexturize3 && Drawable(layer))
      order[count++] = {&layer, false};
    if (current && layer.pixels == current && paintDrawable) order[count++] = {&paint, true};
  }

  list.count = 0;
  for (int32_t i = 0; i < count; ++i) {
    const engine::LayerRecord& layer = *order[i].layer;
    if (order[i].isPaint && layer.mergeMode == kModeTexturize3) continue;
    ViewEntry e = EntryFor(layer);
    e.background = i == 0 && order[i].layer == &s.layers[1];
    // The layer mask is the next entry, looking past the paint layer when it sits right above
    // the current layer (it shows at the current layer's place, under the mask).
    int32_t next = i + 1;
    if (layer.pixels == current && !order[i].isPaint && next < count && order[next].isPaint) ++next;
    if (!e.background && next < count) {
      const engine::LayerRecord& mask = *order[next].layer;
      if (mask.mergeMode == kModeLayerMask && mask.visible && mask.pixels) e.clip = mask.pixels;
    }
    list.entries[list.count++] = e;
  }
}

}  // namespace render
