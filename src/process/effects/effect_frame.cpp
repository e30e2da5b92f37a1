#include "process/effects/effect_frame.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/layer_load_rgba32.h"
#include "engine/processing_buffers.h"

namespace process {

bool UsableProcessingBuffers32(CanvasBuffers32* buffers) {
  const engine::EngineState& state = engine::State();
  uint8_t* source = engine::UsableSrcBuffer32();
  uint8_t* destination = engine::UsableDstBuffer32();
  if (!source || !destination) return false;
  *buffers = {source, destination, state.canvasWidth, state.canvasHeight};
  return true;
}

void LoadDestinationIntoCurrentLayer(const uint8_t* pixels, int32_t rowBytes) {
  const engine::EngineState& s = engine::State();
  const engine::LayerRecord* layer = s.currentLayer;
  if (!layer || !layer->pixels) return;
  // The picture covers the canvas; a layer of another size takes only what both cover, so that
  // nothing is read beyond the picture.
  engine::LoadRGBA32Layer(pixels, rowBytes, s.currentLayerIndex, 0, 0,
                          std::min(layer->width, s.canvasWidth),
                          std::min(layer->height, s.canvasHeight), 1);
}

}  // namespace process
