#include "engine/layer_load_rgba32.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/layer_stack.h"
#include "engine/load_coverage.h"
#include "engine/parallel_rows.h"
#include "engine/pixel_formats.h"
#include "engine/transfer_checks.h"

namespace engine {
namespace {

// Load weighed by coverage. texture and mask point at the row's first pixel (or are null).
void LoadRowMasked(const uint8_t* src, uint16_t* dst, std::size_t pixels, const uint8_t* texture,
                   const uint16_t* mask, bool locked) {
  for (std::size_t i = 0; i < pixels; ++i, src += 4, dst += 4) {
    const uint32_t h = CoverageColour(texture, mask, i);
    if (h == 0) continue;
    const uint32_t a = src[3];
    if (h == kFullCoverage) {
      dst[0] = Widen8(src[0]);
      dst[1] = Widen8(src[1]);
      dst[2] = Widen8(src[2]);
      if (!locked) dst[3] = Widen8(src[3]);
    } else if (dst[3] == 0) {
      // Nothing to blend with: the colour is taken whole and only the alpha is weighed.
      dst[0] = Widen8(src[0]);
      dst[1] = Widen8(src[1]);
      dst[2] = Widen8(src[2]);
      if (!locked) dst[3] = static_cast<uint16_t>((a * 256 * h) >> 16);
    } else if (a == 0) {
      // A transparent source erases by coverage and leaves the colour.
      if (!locked) dst[3] = static_cast<uint16_t>((dst[3] * (kFullCoverage - h)) >> 16);
    } else {
      dst[0] = BlendByCoverage(src[0], dst[0], h);
      dst[1] = BlendByCoverage(src[1], dst[1], h);
      dst[2] = BlendByCoverage(src[2], dst[2], h);
      if (!locked) dst[3] = BlendByCoverage(a, dst[3], h);
    }
  }
}

}  // namespace

void LoadRGBA32IntoLayer(LayerRecord& layer, const uint8_t* src, int64_t srcRowBytes, int32_t x,
                         int32_t y, int32_t width, int32_t height, bool useMaskAndTexture) {
  const EngineState& s = State();
  const bool masked = useMaskAndTexture && (s.maskEnabled || s.textureImage);
  int32_t clipWidth = layer.width, clipHeight = layer.height;
  if (masked) {
    // The mask and the texture cover the canvas only.
    clipWidth = std::min(clipWidth, s.canvasWidth);
    clipHeight = std::min(clipHeight, s.canvasHeight);
  }
  const ClippedRect r = ClipRect(x, y, width, height, clipWidth, clipHeight);
  if (r.Empty()) return;
  // The source's first pixel stands for (x, y).
  const uint8_t* first = src + srcRowBytes * (int64_t{r.y0} - y) + (int64_t{r.x0} - x) * 4;
  const std::size_t cols = std::size_t(r.Width());
  const bool locked = layer.alphaLock != 0;

  if (masked) {
    const uint16_t* mask = ActiveMask();
    const uint8_t* texture = s.textureImage;
    const std::size_t canvasWidth = std::size_t(s.canvasWidth);
    for (int32_t row = r.y0; row < r.y1; ++row) {
      const std::size_t at = std::size_t(row) * canvasWidth + std::size_t(r.x0);
      LoadRowMasked(first + srcRowBytes * (row - r.y0), PixelAt(layer, r.x0, row), cols,
                    texture ? texture + at : nullptr, mask ? mask + at : nullptr, locked);
    }
    return;
  }
  // Plain path: a transparent source pixel leaves no colour behind; a locked layer takes the
  // colour only.
  const auto kernel = locked ? RowLoadRGBA32Colour : RowLoadRGBA32;
  const Stores stores = StoresFor(cols * std::size_t(r.Height()) * 8);
  ForRowBands(r.Height(), cols * 12, [&](int32_t begin, int32_t end) {
    for (int32_t row = r.y0 + begin; row < r.y0 + end; ++row) {
      kernel(first + srcRowBytes * (row - r.y0), PixelAt(layer, r.x0, row), cols, stores);
    }
  });
}

int32_t LoadRGBA32Layer(const void* src, int32_t srcRowBytes, int32_t index, int32_t x, int32_t y,
                        int32_t width, int32_t height, int32_t useMaskAndTexture) {
  LayerRecord* layer = LayerWithPixels(index);
  if (!layer || !src || !RowHolds(srcRowBytes, width, 4)) return 0;
  LoadRGBA32IntoLayer(*layer, static_cast<const uint8_t*>(src), srcRowBytes, x, y, width, height,
                      useMaskAndTexture != 0);
  return 1;
}

int32_t LoadRGBA32(const void* src, int32_t srcRowBytes, int32_t useMaskAndTexture) {
  const EngineState& s = State();
  if (!s.currentLayer || !s.currentLayer->pixels) return 0;
  return LoadRGBA32Layer(src, srcRowBytes, s.currentLayerIndex, 0, 0, s.currentLayer->width,
                         s.currentLayer->height, useMaskAndTexture);
}

int32_t LoadRGBA32Into(const void* src, int32_t srcRowBytes, int32_t index, int32_t x, int32_t y,
                       int32_t width, int32_t height) {
  return LoadRGBA32Layer(src, srcRowBytes, index, x, y, width, height, 1);
}

}  // namespace engine
