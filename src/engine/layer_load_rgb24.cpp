#include "engine/layer_load_rgb24.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/load_coverage.h"
#include "engine/parallel_rows.h"
#include "engine/pixel_formats.h"
#include "engine/transfer_checks.h"

namespace engine {
namespace {

// The current layer when a whole-canvas RGB24 load from src may go ahead.
LayerRecord* LoadTarget(const void* src, int32_t srcRowBytes) {
  LayerRecord* layer = CurrentCanvasLayer();
  if (!layer || !src || !RowHolds(srcRowBytes, layer->width, 3)) return nullptr;
  return layer;
}

bool MaskedLoad(int32_t useMaskAndTexture) {
  const EngineState& s = State();
  return useMaskAndTexture && (s.maskEnabled || s.textureImage);
}

// Runs row(srcRow, layerRow, canvasOffsetOfRow) over every canvas row.
template <class Row>
void ForEachCanvasRow(LayerRecord& layer, const void* src, int32_t srcRowBytes, Row row) {
  const std::size_t width = std::size_t(layer.width);
  ForRowBands(layer.height, width * 11, [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      row(RowAt(static_cast<const uint8_t*>(src), srcRowBytes, y), PixelAt(layer, 0, y),
          std::size_t(y) * width);
    }
  });
}

// The plain colour and alpha loads: one row kernel over every canvas row. They keep part of each
// layer pixel, so every destination line is read before it is written; streaming the stores
// would save no read and only makes the write-back slower, so they stay cached.
void LoadEveryRow(LayerRecord& layer, const void* src, int32_t srcRowBytes,
                  void (*kernel)(const uint8_t*, uint16_t*, std::size_t, Stores)) {
  const std::size_t width = std::size_t(layer.width);
  ForEachCanvasRow(layer, src, srcRowBytes, [&](const uint8_t* in, uint16_t* out, std::size_t) {
    kernel(in, out, width, Stores::kCached);
  });
}

}  // namespace

int32_t LoadRGB24(const void* src, int32_t srcRowBytes, int32_t useMaskAndTexture) {
  LayerRecord* layer = LoadTarget(src, srcRowBytes);
  if (!layer) return 0;
  const std::size_t width = std::size_t(layer->width);
  if (!MaskedLoad(useMaskAndTexture)) {
    LoadEveryRow(*layer, src, srcRowBytes, RowLoadRGB24Colour);
    return 1;
  }
  const uint16_t* mask = ActiveMask();
  const uint8_t* texture = State().textureImage;
  ForEachCanvasRow(*layer, src, srcRowBytes, [&](const uint8_t* in, uint16_t* out, std::size_t at) {
    for (std::size_t i = 0; i < width; ++i, in += 3, out += 4) {
      const uint32_t h = CoverageColour(texture, mask, at + i);
      if (h == 0) continue;
      for (int c = 0; c < 3; ++c) {
        out[c] = h == kFullCoverage ? Widen8(in[c]) : BlendByCoverage(in[c], out[c], h);
      }
    }
  });
  return 1;
}

int32_t LoadRGB24ToAlpha(const void* src, int32_t srcRowBytes, int32_t useMaskAndTexture) {
  LayerRecord* layer = LoadTarget(src, srcRowBytes);
  if (!layer) return 0;
  const std::size_t width = std::size_t(layer->width);
  // Transparent pixels stay transparent: the alpha load reshapes what is there.
  if (!MaskedLoad(useMaskAndTexture)) {
    LoadEveryRow(*layer, src, srcRowBytes, RowLoadRGB24Alpha);
    return 1;
  }
  const uint16_t* mask = ActiveMask();
  const uint8_t* texture = State().textureImage;
  ForEachCanvasRow(*layer, src, srcRowBytes, [&](const uint8_t* in, uint16_t* out, std::size_t at) {
    for (std::size_t i = 0; i < width; ++i, in += 3, out += 4) {
      if (out[3] == 0) continue;
      const uint32_t h = CoverageAlpha(texture, mask, at + i);
      if (h == kFullCoverage) {
        out[3] = Widen8(in[0]);
      } else if (h != 0) {
        out[3] = BlendByCoverage(in[0], out[3], h);
      }
    }
  });
  return 1;
}

int32_t Load(const void* src, int32_t srcRowBytes, int32_t width, int32_t height) {
  LayerRecord* layer = CurrentCanvasLayer();
  if (!layer || !src) return 0;
  const int32_t cols = std::clamp(width, 0, layer->width);
  const int32_t rows = std::clamp(height, 0, layer->height);
  if (!RowHolds(srcRowBytes, cols, 3)) return 0;
  const Stores stores = StoresFor(std::size_t(cols) * std::size_t(rows) * 8);
  ForRowBands(rows, std::size_t(cols) * 11, [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      RowLoadBGR24(RowAt(static_cast<const uint8_t*>(src), srcRowBytes, y), PixelAt(*layer, 0, y),
                   std::size_t(cols), stores);
    }
  });
  return 1;
}

}  // namespace engine
