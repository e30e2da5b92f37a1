#include "process/effects/effect_frame.h"

#include "engine/engine_state.h"

namespace process {

bool UsableProcessingBuffers32(CanvasBuffers32* buffers) {
  const engine::EngineState& state = engine::State();
  if (!state.processingBuffers.src32 || !state.processingBuffers.dst32 ||
      state.canvasWidth <= 0 || state.canvasHeight <= 0)
    return false;
  *buffers = {state.processingBuffers.src32, state.processingBuffers.dst32, state.canvasWidth,
              state.canvasHeight};
  return true;
}

void LoadDestinationIntoCurrentLayer(const uint8_t* pixels, int32_t rowBytes) {
  // Wired to the layer transfer once it is in place.
  (void)pixels, (void)rowBytes;
}

}  // namespace process
