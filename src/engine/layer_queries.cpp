#include "engine/layer_queries.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_state.h"
#include "engine/transfer_checks.h"

namespace engine {

int32_t FindDataExtentsLayer(int32_t index, int32_t* left, int32_t* top, int32_t* right,
                             int32_t* bottom) {
  const LayerRecord* layer = CanvasLayer(index);
  if (!layer || !left || !top || !right || !bottom) return 0;
  const int32_t width = layer->width;
  int32_t l = width, t = layer->height, r = 0, b = 0;
  for (int32_t y = 0; y < layer->height; ++y) {
    const uint16_t* row = PixelAt(*layer, 0, y);
    int32_t first = 0;
    while (first < width && row[4 * first + 3] == 0) ++first;
    if (first == width) continue;
    int32_t last = width - 1;
    while (row[4 * last + 3] == 0) --last;
    l = std::min(l, first);
    r = std::max(r, last);
    t = std::min(t, y);
    b = y;
  }
  *left = l;
  *top = t;
  *right = r;
  *bottom = b;
  return 1;
}

int32_t IsSingleColor(int32_t index) {
  const LayerRecord* layer = CanvasLayer(index);
  if (!layer) return 0;
  uint64_t first;
  std::memcpy(&first, layer->pixels, sizeof first);
  const std::size_t pixels = std::size_t(layer->width) * std::size_t(layer->height);
  const uint16_t* p = layer->pixels;
  for (std::size_t i = 1; i < pixels; ++i) {
    uint64_t pixel;
    std::memcpy(&pixel, p + 4 * i, sizeof pixel);
    if (pixel != first) return 0;
  }
  return 1;
}

}  // namespace engine
