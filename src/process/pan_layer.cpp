#include "process/pan_layer.h"

#include <cstring>

#include "render/composite_rgba32_into_layer.h"
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_stack.h"
#include "imaging/imaging.h"
#include "engine/mask_texture_weight.h"
#include "engine/processing_buffers.h"

namespace process {

void IPLPan(int32_t dx, int32_t dy, int32_t edgeMode, int32_t red, int32_t green, int32_t blue,
            int32_t alpha, int32_t maskAndTexture) {
  const engine::EngineState& s = engine::State();
  uint8_t* source = engine::UsableSrcBuffer32();
  uint8_t* destination = engine::UsableDstBuffer32();
  engine::LayerRecord* layer = s.currentLayer;
  if (!source || !destination || !layer || !engine::IsCanvasSized(layer)) return;
  const int32_t width = s.canvasWidth, height = s.canvasHeight, rowBytes = width * 4;

  if (edgeMode != 0) {
    const uint32_t fill = (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16 |
                          static_cast<uint32_t>(alpha & 0xFF) << 24;
    imaging::is5_ClearAllTransforms();
    if (!imaging::is5_AddOffsetTransform(width, height, dx, dy, static_cast<uint32_t>(edgeMode)) ||
        !imaging::is5_TransformProcess(source, width, height, 4, rowBytes, destination, rowBytes, 0,
                                       fill, 0))
      return;
  } else {
    std::memset(destination, 0, engine::PlaneBytes(width, height, 4));
    if (!imaging::IS3OverlayImage(destination, width, height, 4, rowBytes, source, width, height,
                                  rowBytes, dx, dy, 1.0, 0))
      return;
  }
  if (maskAndTexture & 0xFF) engine::AdjustRGBA32ByMaskAndTexture(destination, width, height);
  render::CompositeRGBA32IntoLayer(destination, layer->pixels, 0, 0, 255, layer->alphaLock);
}

}  // namespace process
