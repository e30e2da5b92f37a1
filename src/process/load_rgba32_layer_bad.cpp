#include "process/load_rgba32_layer_bad.h"

#include "render/composite_rgba32_into_layer.h"
#include "engine/layer_fills.h"
#include "engine/layer_stack.h"
#include "engine/mask_texture_weight.h"

namespace process {

void LoadRGBA32Layer_BAD(uint8_t* src, int32_t index, int32_t adjustWidth, int32_t adjustHeight,
                         int32_t adjust) {
  engine::LayerRecord* layer = engine::LayerWithPixels(index);
  if (!src || !layer || !engine::IsCanvasSized(layer)) return;
  if (adjust & 0xFF) engine::AdjustRGBA32ByMaskAndTexture(src, adjustWidth, adjustHeight);
  engine::ClearMasked(0, 0, 0, 0);
  render::CompositeRGBA32IntoLayer(src, layer->pixels, 0, 0, 255, layer->alphaLock);
}

}  // namespace process
