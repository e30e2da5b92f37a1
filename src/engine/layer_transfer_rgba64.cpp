#include "engine/layer_transfer_rgba64.h"

#include <cstring>

#include "engine/engine_state.h"
#include "engine/layer_stack.h"

namespace engine {
namespace {

// Layer transfers move canvas width x height pixels; a layer of another size, or host rows too
// short for a layer row, would be read or written past an end, so they are refused.
const LayerRecord* TransferLayer(int32_t index, const void* buffer, int32_t rowBytes) {
  const LayerRecord* layer = LayerWithPixels(index);
  if (!layer || !buffer || !IsCanvasSized(layer)) return nullptr;
  if (rowBytes < 0 || int64_t{rowBytes} < int64_t{State().canvasWidth} * 8) return nullptr;
  return layer;
}

}  // namespace

int32_t GetRGBA64Layer(void* dst, int32_t dstRowBytes, int32_t index) {
  const LayerRecord* layer = TransferLayer(index, dst, dstRowBytes);
  if (!layer) return 0;
  const std::size_t rowBytes = std::size_t(layer->width) * 8;
  for (int32_t y = 0; y < layer->height; ++y) {
    std::memcpy(static_cast<uint8_t*>(dst) + std::size_t(y) * dstRowBytes,
                layer->pixels + std::size_t(y) * layer->stride, rowBytes);
  }
  return 1;
}

int32_t SetRGBA64Layer(const void* src, int32_t srcRowBytes, int32_t index) {
  const LayerRecord* layer = TransferLayer(index, src, srcRowBytes);
  if (!layer) return 0;
  const std::size_t rowBytes = std::size_t(layer->width) * 8;
  for (int32_t y = 0; y < layer->height; ++y) {
    std::memcpy(layer->pixels + std::size_t(y) * layer->stride,
                static_cast<const uint8_t*>(src) + std::size_t(y) * srcRowBytes, rowBytes);
  }
  return 1;
}

}  // namespace engine
