#include "engine/layer_read_8bit.h"

#include "engine/engine_state.h"
#include "engine/parallel_rows.h"
#include "engine/pixel_formats.h"
#include "engine/transfer_checks.h"

namespace engine {
namespace {

using RowKernel = void (*)(const uint16_t*, uint8_t*, std::size_t, Stores);

int32_t ReadLayer(const LayerRecord* layer, void* dst, int32_t dstRowBytes, int32_t bytesPerPixel,
                  RowKernel kernel) {
  if (!layer || !dst || !RowHolds(dstRowBytes, layer->width, bytesPerPixel)) return 0;
  const std::size_t width = std::size_t(layer->width);
  const Stores stores = StoresFor(width * std::size_t(layer->height) * bytesPerPixel);
  ForRowBands(layer->height, width * (8 + bytesPerPixel), [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      kernel(PixelAt(*layer, 0, y), RowAt(static_cast<uint8_t*>(dst), dstRowBytes, y), width,
             stores);
    }
  });
  return 1;
}

}  // namespace

int32_t GetRGBA32Layer(void* dst, int32_t dstRowBytes, int32_t index) {
  return ReadLayer(CanvasLayer(index), dst, dstRowBytes, 4, RowRGBA64ToRGBA32);
}

int32_t GetRGBA32(void* dst, int32_t dstRowBytes) {
  return ReadLayer(CurrentCanvasLayer(), dst, dstRowBytes, 4, RowRGBA64ToRGBA32);
}

int32_t GetRGB24Layer(void* dst, int32_t dstRowBytes, int32_t index) {
  return ReadLayer(CanvasLayer(index), dst, dstRowBytes, 3, RowRGBA64ToRGB24);
}

int32_t GetRGB24(void* dst, int32_t dstRowBytes) {
  return ReadLayer(CurrentCanvasLayer(), dst, dstRowBytes, 3, RowRGBA64ToRGB24);
}

int32_t GetRGB24FromAlpha(void* dst, int32_t dstRowBytes) {
  return ReadLayer(CurrentCanvasLayer(), dst, dstRowBytes, 3, RowAlphaToGrey24);
}

}  // namespace engine
