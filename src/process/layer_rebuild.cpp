#include "process/layer_rebuild.h"

#include <cstring>
#include <new>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_load_rgba32.h"
#include "engine/layer_read_8bit.h"
#include "engine/layer_stack.h"
#include "imaging/picture_checks.h"

namespace process {

bool IsPossibleLayerSize(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0 || width > imaging::kMaxPictureSide ||
      height > imaging::kMaxPictureSide)
    return false;
  try {
    engine::PlaneBytes(width, height, 8);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void RebuildLayers(int32_t newWidth, int32_t newHeight, int32_t newBlockRows,
                   const LayerTransform& transform, const char* message) {
  engine::EngineState& s = engine::State();
  if (s.canvasWidth <= 0 || s.canvasHeight <= 0) return;
  auto oldBlock =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(s.canvasWidth, s.canvasHeight, 4));
  const size_t newBlockBytes = engine::PlaneBytes(newWidth, newBlockRows, 4);
  auto newBlock = engine::MakeOwnedPlane<uint8_t>(newBlockBytes);

  for (int32_t index = 1; index <= s.topLayerIndex && index < engine::kLayerSlots; ++index) {
    engine::LayerRecord* layer = engine::LayerWithPixels(index);
    if (!layer || !engine::GetRGBA32Layer(oldBlock.get(), s.canvasWidth * 4, index)) continue;
    std::memset(newBlock.get(), 0, newBlockBytes);
    if (!transform(oldBlock.get(), newBlock.get(), index)) continue;

    // The new plane first; the old one goes only once the new one is whole.
    const size_t planeBytes = engine::PlaneBytes(newWidth, newHeight, 8);
    engine::OwnedPlane<uint16_t> plane(
        static_cast<uint16_t*>(engine::TryAllocateBytes(planeBytes)));
    if (!plane) {
      engine::SetLastError(message);
      continue;
    }
    engine::LayerRecord rebuilt = *layer;
    rebuilt.pixels = plane.get();
    rebuilt.width = newWidth;
    rebuilt.height = newHeight;
    rebuilt.stride = 4 * newWidth;
    rebuilt.alphaLock = 0;  // alpha is rebuilt with the colour
    // The plain load below writes every pixel of the new plane, so it needs no clearing first.
    engine::LoadRGBA32IntoLayer(rebuilt, newBlock.get(), int64_t{newWidth} * 4, 0, 0, newWidth,
                                newHeight, false);
    engine::ReleasePlane(layer->pixels);
    layer->pixels = plane.release();
    layer->width = newWidth;
    layer->height = newHeight;
    layer->stride = 4 * newWidth;
  }
}

}  // namespace process
