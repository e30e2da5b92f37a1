#include "render/composite_rgba32_into_layer.h"

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/pixel_formats.h"
#include "render/composite_layer_rect.h"

namespace render {

bool CompositeRGBA32IntoLayer(const uint8_t* src, uint16_t* layerPixels, int32_t mode,
                              int32_t clipFlag, int32_t opacity, uint8_t alphaLock) {
  const engine::EngineState& s = engine::State();
  if (!src || !layerPixels || s.canvasWidth <= 0 || s.canvasHeight <= 0) return false;
  const std::size_t pixels = std::size_t(s.canvasWidth) * std::size_t(s.canvasHeight);
  engine::OwnedPlane<uint16_t> plane(static_cast<uint16_t*>(engine::TryAllocateBytes(pixels * 8)));
  if (!plane) return false;
  engine::RGBA32ToRGBA64(src, plane.get(), s.canvasWidth, s.canvasHeight);
  CompositeLayerRect(plane.get(), 0, 0, s.canvasWidth, s.canvasHeight, s.canvasStride, nullptr,
                     layerPixels, 0, 0, s.canvasStride, mode, clipFlag, opacity, alphaLock, 0);
  return true;
}

}  // namespace render
