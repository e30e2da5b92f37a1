#include "engine/texture_plane.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_stack.h"

namespace engine {

int32_t CreateTexture(int32_t layerIndex) {
  EngineState& s = State();
  const LayerRecord* layer = LayerWithPixels(layerIndex);
  if (!layer) return 0;
  if (!s.textureImage) {
    try {
      s.textureImage = AllocatePlane<uint8_t>(PlaneBytes(s.canvasWidth, s.canvasHeight, 1));
    } catch (...) {
      SetLastError("CreateTexture Excpt");
      return 0;
    }
  }
  const int32_t width = s.canvasWidth, height = s.canvasHeight;
  // A layer of another size (possible after a canvas resize) covers only part of the plane; the
  // rest lets the brush through fully.
  const int32_t rows = std::min(height, layer->height), cols = std::min(width, layer->width);
  if (rows < height || cols < width) std::memset(s.textureImage, 250, std::size_t(width) * height);
  for (int32_t y = 0; y < rows; ++y) {
    const uint16_t* p = layer->pixels + std::size_t(y) * layer->stride;
    uint8_t* t = s.textureImage + std::size_t(y) * width;
    for (int32_t x = 0; x < cols; ++x, p += 4) {
      const int32_t value = (int32_t{p[0]} + p[1] + p[2]) / 768;
      t[x] = static_cast<uint8_t>(std::clamp(value, 4, 250));
    }
  }
  return s.canvasWidth;
}

void DeleteTexture() { ReleasePlane(State().textureImage); }

}  // namespace engine
