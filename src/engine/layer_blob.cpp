#include "engine/layer_blob.h"

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_read_8bit.h"
#include "engine/layer_stack.h"
#include "engine/parallel_rows.h"
#include "engine/pixel_formats.h"
#include "engine/transfer_checks.h"
#include "imaging/zlib_buffers.h"

namespace engine {

int32_t GetRGBA32LayerCompressed(void* out, int32_t reserved, void* outArgument, int32_t index,
                                 int32_t level) {
  const LayerRecord* layer = CanvasLayer(index);
  if (!layer) return 0;
  const std::size_t bytes = PlaneBytes(layer->width, layer->height, 4);
  if (bytes > UINT32_MAX) throw std::bad_alloc();
  OwnedPlane<uint8_t> packed = MakeOwnedPlane<uint8_t>(bytes);
  if (!GetRGBA32Layer(packed.get(), layer->width * 4, index)) return 0;
  return imaging::IS3ZDeflateBuffer(packed.get(), static_cast<uint32_t>(bytes), out, outArgument,
                                    level);
}

int32_t LoadRGBA32LayerCompressed(const void* blob, int32_t reserved, int32_t blobSize,
                                  int32_t index) {
  LayerRecord* layer = LayerWithPixels(index);
  if (!layer || !blob || blobSize <= 0) return 0;
  const std::size_t bytes = PlaneBytes(layer->width, layer->height, 4);
  if (bytes > INT32_MAX) return 0;
  OwnedPlane<uint8_t> packed = MakeOwnedPlane<uint8_t>(bytes);
  const int32_t inflated = imaging::IS3ZInflateBuffer(
      blob, static_cast<uint32_t>(blobSize), packed.get(), static_cast<uint32_t>(bytes), 0);
  if (std::size_t(inflated) != bytes) return 0;
  // The blob is the layer's stored content, so it is restored as it stands: the loads' rules for
  // transparent source pixels and for alpha-locked layers do not apply to it.
  const std::size_t width = std::size_t(layer->width);
  const Stores stores = StoresFor(bytes * 2);
  ForRowBands(layer->height, width * 12, [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      RowRGBA32ToRGBA64(packed.get() + std::size_t(y) * width * 4, PixelAt(*layer, 0, y), width,
                        stores);
    }
  });
  return 1;
}

}  // namespace engine
