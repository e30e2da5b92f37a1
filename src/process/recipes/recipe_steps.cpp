#include "process/recipes/recipe_steps.h"

#include <algorithm>
#include <new>

#include "render/composite_rgba32_into_layer.h"
#include "engine/engine_state.h"
#include "engine/layer_stack.h"
#include "process/effects/effect_frame.h"
#include "process/effects/run_own_effect.h"
#include "process/library/slider_scales.h"
#include "engine/mask_texture_weight.h"
#include "engine/processing_buffers.h"

namespace process::recipe {

bool Usable(Buffers* buffers) {
  CanvasBuffers32 b;
  if (!UsableProcessingBuffers32(&b)) return false;
  *buffers = {b.source, b.destination, b.width, b.height};
  return true;
}

OwnEffectArguments Arguments(int32_t chain) {
  OwnEffectArguments a;
  a.chain = chain;
  return a;
}

bool Own(const char* name, const OwnEffectArguments& arguments) {
  return RunOwnEffect(name, arguments);
}

void Refresh() { engine::UpdateSrcBuffer32(); }

void WriteBack(const Buffers& buffers, const uint8_t* pixels) {
  LoadDestinationIntoCurrentLayer(pixels, int32_t(buffers.rowBytes()));
}

bool Merge(const Buffers& buffers, uint8_t* pixels, int32_t mode, int32_t opacity) {
  engine::LayerRecord* layer = engine::State().currentLayer;
  if (!layer || !layer->pixels || !engine::IsCanvasSized(layer)) return false;
  engine::AdjustRGBA32ByMaskAndTexture(pixels, buffers.width, buffers.height);
  // The compositor reports only that it had no room for its wide copy: a memory failure, which
  // the dispatcher records like any other.
  if (!render::CompositeRGBA32IntoLayer(pixels, layer->pixels, mode, 0, std::clamp(opacity, 0, 256),
                                        layer->alphaLock))
    throw std::bad_alloc();
  return true;
}

engine::OwnedPlane<uint8_t> Scratch(const Buffers& buffers) {
  return engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(buffers.width, buffers.height, 4));
}

int32_t Opacity(const EffectCall& call, int k, double factor) { return Scaled(call, k, factor); }

}  // namespace process::recipe
