#include "engine/layer_transfer_rgba64.h"

#include <cstring>

#include "engine/engine_state.h"
#include "engine/parallel_rows.h"
#include "engine/pixel_formats.h"
#include "engine/transfer_checks.h"

namespace engine {
namespace {

constexpr int32_t kPixelBytes = 8;

// Copies `rows` rows of rowBytes bytes between buffers whose rows lie dstPitch and srcPitch
// bytes apart.
void CopyRows(uint8_t* dst, int64_t dstPitch, const uint8_t* src, int64_t srcPitch, int32_t rows,
              std::size_t rowBytes) {
  const Stores stores = StoresFor(std::size_t(rows) * rowBytes);
  ForRowBands(rows, rowBytes * 2, [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y)
      CopyRow(dst + dstPitch * y, src + srcPitch * y, rowBytes, stores);
  });
}

const LayerRecord* HostTransferLayer(int32_t index, const void* buffer, int32_t rowBytes) {
  const LayerRecord* layer = CanvasLayer(index);
  if (!layer || !buffer || !RowHolds(rowBytes, layer->width, kPixelBytes)) return nullptr;
  return layer;
}

std::size_t PlaneBytesOf(const LayerRecord& layer) {
  return std::size_t(layer.width) * std::size_t(layer.height) * kPixelBytes;
}

}  // namespace

int32_t GetRGBA64Layer(void* dst, int32_t dstRowBytes, int32_t index) {
  const LayerRecord* layer = HostTransferLayer(index, dst, dstRowBytes);
  if (!layer) return 0;
  CopyRows(static_cast<uint8_t*>(dst), dstRowBytes, reinterpret_cast<const uint8_t*>(layer->pixels),
           int64_t{layer->stride} * 2, layer->height, std::size_t(layer->width) * kPixelBytes);
  return 1;
}

int32_t SetRGBA64Layer(const void* src, int32_t srcRowBytes, int32_t index) {
  const LayerRecord* layer = HostTransferLayer(index, src, srcRowBytes);
  if (!layer) return 0;
  CopyRows(reinterpret_cast<uint8_t*>(layer->pixels), int64_t{layer->stride} * 2,
           static_cast<const uint8_t*>(src), srcRowBytes, layer->height,
           std::size_t(layer->width) * kPixelBytes);
  return 1;
}

int32_t GetRGBA64LayerRect(void* dst, int32_t dstRowBytes, int32_t index, int32_t x, int32_t y,
                           int32_t width, int32_t height) {
  const LayerRecord* layer = CanvasLayer(index);
  if (!layer || !dst || !RowHolds(dstRowBytes, width, kPixelBytes)) return 0;
  const ClippedRect r = ClipRect(x, y, width, height, layer->width, layer->height);
  if (r.Empty()) return 0;
  // dst's first pixel stands for (x, y): a rectangle starting left of or above the layer skips
  // the columns and rows of dst that lie outside.
  auto* out =
      RowAt(static_cast<uint8_t*>(dst), dstRowBytes, r.y0 - y) + (int64_t{r.x0} - x) * kPixelBytes;
  CopyRows(out, dstRowBytes, reinterpret_cast<const uint8_t*>(PixelAt(*layer, r.x0, r.y0)),
           int64_t{layer->stride} * 2, r.Height(), std::size_t(r.Width()) * kPixelBytes);
  return 1;
}

int32_t GetLayerData(void* dst, int32_t index) {
  const LayerRecord* layer = CanvasLayer(index);
  if (!layer || !dst) return 0;
  std::memcpy(dst, layer->pixels, PlaneBytesOf(*layer));
  return 1;
}

int32_t SetLayerData(const void* src, int32_t index) {
  const LayerRecord* layer = CanvasLayer(index);
  if (!layer || !src) return 0;
  std::memcpy(layer->pixels, src, PlaneBytesOf(*layer));
  return 1;
}

int32_t CopyLayerData(int32_t srcIndex, int32_t dstIndex) {
  const LayerRecord* from = CanvasLayer(srcIndex);
  const LayerRecord* to = CanvasLayer(dstIndex);
  if (!from || !to) return 0;
  if (from != to) std::memcpy(to->pixels, from->pixels, PlaneBytesOf(*from));
  return 1;
}

}  // namespace engine
