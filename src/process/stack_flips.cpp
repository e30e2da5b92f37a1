#include "process/stack_flips.h"

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_load_rgba32.h"
#include "engine/layer_read_8bit.h"
#include "engine/layer_stack.h"
#include "imaging/imaging.h"

namespace process {
namespace {

template <class Flip>
void FlipStack(Flip flip) {
  engine::EngineState& s = engine::State();
  if (s.canvasWidth <= 0 || s.canvasHeight <= 0) return;
  const int32_t rowBytes = s.canvasWidth * 4;
  engine::OwnedPlane<uint8_t> work(static_cast<uint8_t*>(
      engine::TryAllocateBytes(engine::PlaneBytes(s.canvasWidth, s.canvasHeight, 4))));
  if (!work) return;
  for (int32_t index = 1; index <= s.topLayerIndex && index < engine::kLayerSlots; ++index) {
    engine::LayerRecord* layer = engine::LayerWithPixels(index);
    if (!layer || !engine::GetRGBA32Layer(work.get(), rowBytes, index)) continue;
    if (!flip(work.get(), rowBytes)) continue;
    // The plain load keeps an alpha-locked layer's alpha; the mirror must move alpha with the
    // colour, so the lock is lifted for the write-back.
    const uint8_t lock = layer->alphaLock;
    layer->alphaLock = 0;
    engine::LoadRGBA32Layer(work.get(), rowBytes, index, 0, 0, layer->width, layer->height, 0);
    layer->alphaLock = lock;
  }
}

}  // namespace

void IPLFlipHorizontal() {
  const engine::EngineState& s = engine::State();
  FlipStack([&](uint8_t* pixels, int32_t rowBytes) {
    return imaging::IS3HorizontalFlipImage(pixels, s.canvasWidth, s.canvasHeight, 4, rowBytes) != 0;
  });
}

void IPLFlipVertical() {
  const engine::EngineState& s = engine::State();
  FlipStack([&](uint8_t* pixels, int32_t rowBytes) {
    return imaging::IS3VerticalFlipImage(pixels, rowBytes, s.canvasHeight) != 0;
  });
}

}  // namespace process
