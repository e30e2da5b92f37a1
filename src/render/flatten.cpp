#include "render/flatten.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "render/host_rect.h"
#include "render/layer_merge.h"
#include "render/row_bands.h"

namespace render {
namespace {

struct FlattenPlan {
  uint16_t* buffer;
  HostRect rect;
  const engine::LayerRecord* background;  // null when hidden or unusable
  int32_t indices[engine::kLayerSlots];
  const engine::LayerRecord* layers[engine::kLayerSlots];
  int32_t layerCount;
};

// Rows first..end of the canvas part. Each row goes through the same steps in the same order as
// one whole-buffer pass would take it: clear, background, then the layers bottom to top. Working
// band by band keeps the band in cache while every layer passes over it.
void FlattenRows(const FlattenPlan& plan, int32_t first, int32_t end) {
  const HostRect& r = plan.rect;
  const std::size_t insideBytes = std::size_t(r.right - r.left) * 8;
  const std::size_t leftBytes = std::size_t(r.left - r.x) * 8;
  const std::size_t rightBytes = std::size_t(int64_t{r.x} + r.width - r.right) * 8;
  const engine::EngineState& s = engine::State();
  for (int32_t cy = first; cy < end; ++cy) {
    uint16_t* row = r.At(plan.buffer, r.left, cy);
    if (leftBytes) std::memset(row - leftBytes / 2, 0, leftBytes);
    if (plan.background) {
      const uint16_t* from = plan.background->pixels + std::ptrdiff_t{cy} * s.canvasStride + 4 * std::ptrdiff_t{r.left};
      std::memcpy(row, from, insideBytes);
    } else {
      std::memset(row, 0, insideBytes);
    }
    if (rightBytes) std::memset(row + insideBytes / 2, 0, rightBytes);
  }
  for (int32_t i = 0; i < plan.layerCount; ++i) {
    CompositeLayerIntoHostRows(plan.indices[i], *plan.layers[i], plan.buffer, r, first, end);
  }
}

}  // namespace

void MergeRect(uint16_t* buffer, int32_t x, int32_t y, int32_t width, int32_t height) {
  FlattenPlan plan{};
  if (!buffer || !MakeHostRect(x, y, width, height, plan.rect)) return;
  plan.buffer = buffer;
  const HostRect& r = plan.rect;

  // Rows of the buffer that lie above or below the canvas are only cleared.
  const std::size_t rowBytes = std::size_t(width) * 8;
  if (r.OnCanvasEmpty()) {
    std::memset(buffer, 0, rowBytes * std::size_t(height));
    return;
  }
  std::memset(buffer, 0, rowBytes * std::size_t(r.top - y));
  const std::size_t below = std::size_t(int64_t{y} + height - r.bottom);
  std::memset(r.At(buffer, x, r.bottom), 0, rowBytes * below);

  // A background without pixels of the canvas size cannot be copied: the flattening starts from
  // transparent black, as with a hidden background.
  const engine::LayerRecord* background = MergeableLayer(1);
  plan.background = background && background->visible == 1 ? background : nullptr;
  for (int32_t index = 2; index < engine::kLayerSlots; ++index) {
    const engine::LayerRecord* layer = MergeableLayer(index);
    if (!layer || !layer->visible) continue;
    plan.indices[plan.layerCount] = index;
    plan.layers[plan.layerCount] = layer;
    ++plan.layerCount;
  }

  const int32_t insideWidth = r.right - r.left;
  // Bands of about 32K pixels: a band of the buffer stays in cache while the layers pass over it.
  const int32_t bandRows = std::max<int32_t>(1, 32768 / insideWidth);
  auto band = [&plan](int32_t first, int32_t end) {
    FlattenRows(plan, plan.rect.top + first, plan.rect.top + end);
  };
  ForRowBands(r.bottom - r.top, bandRows, int64_t{insideWidth} * (plan.layerCount + 1), band);
}

void Merge(uint16_t* buffer) {
  const engine::EngineState& s = engine::State();
  MergeRect(buffer, 0, 0, s.canvasWidth, s.canvasHeight);
}

uint32_t GetColorAtMerged(int32_t x, int32_t y) {
  const engine::EngineState& s = engine::State();
  if (x < 0 || y < 0 || x >= s.canvasWidth || y >= s.canvasHeight) return 0xFFFFFF;
  engine::OwnedPlane<uint16_t> pixel = engine::MakeOwnedPlane<uint16_t>(4);
  MergeRect(pixel.get(), x, y, 1, 1);
  const uint16_t* p = pixel.get();
  return uint32_t(p[3] >> 8) << 24 | uint32_t(p[0] >> 8) << 16 | uint32_t(p[1] >> 8) << 8 |
         uint32_t(p[2] >> 8);
}

}  // namespace render
