#include "engine/layer_fills.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_load_rgba32.h"
#include "engine/parallel_rows.h"
#include "engine/pixel_formats.h"
#include "engine/transfer_checks.h"

namespace engine {
namespace {

// Fills `pixels` pixels of `channels` samples each with the pattern.
template <class T, int Channels>
void FillPixels(T* dst, std::size_t pixels, const T (&pattern)[Channels]) {
  for (std::size_t i = 0; i < pixels; ++i) {
    for (int c = 0; c < Channels; ++c) dst[Channels * i + c] = pattern[c];
  }
}

// Fills `rows` host rows (rowBytes apart) of `pixels` pixels each.
template <class T, int Channels>
void FillRows(void* dst, int64_t rowBytes, int32_t rows, std::size_t pixels,
              const T (&pattern)[Channels]) {
  ForRowBands(rows, pixels * sizeof pattern, [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y)
      FillPixels(RowAt(static_cast<T*>(dst), rowBytes, y), pixels, pattern);
  });
}

LayerRecord* CurrentLayerWithPixels() {
  LayerRecord* layer = State().currentLayer;
  return layer && layer->pixels ? layer : nullptr;
}

// A fill of the current layer's own plane (its stride is 4 x width, so the rows are contiguous).
int32_t FillLayer(LayerRecord& layer, const uint16_t (&colour)[4]) {
  FillRows(layer.pixels, int64_t{layer.stride} * 2, layer.height, std::size_t(layer.width), colour);
  return 1;
}

}  // namespace

int32_t Clear(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  LayerRecord* layer = CurrentLayerWithPixels();
  if (!layer) return 0;
  const uint16_t colour[4] = {Widen8(uint8_t(red)), Widen8(uint8_t(green)), Widen8(uint8_t(blue)),
                              Widen8(uint8_t(alpha))};
  return FillLayer(*layer, colour);
}

int32_t ClearMasked(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  const uint16_t* mask = ActiveMask();
  if (!State().maskEnabled) return Clear(red, green, blue, alpha);
  LayerRecord* layer = CurrentCanvasLayer();
  if (!layer || !mask) return 0;
  const uint32_t value[3] = {uint8_t(red), uint8_t(green), uint8_t(blue)};
  const uint16_t full[4] = {Widen8(uint8_t(red)), Widen8(uint8_t(green)), Widen8(uint8_t(blue)),
                            Widen8(uint8_t(alpha))};
  const std::size_t width = std::size_t(layer->width);
  ForRowBands(layer->height, width * 10, [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      uint16_t* p = PixelAt(*layer, 0, y);
      const uint16_t* m = mask + std::size_t(y) * width;
      for (std::size_t x = 0; x < width; ++x, p += 4) {
        const uint32_t M = m[x];
        if (M == 0) continue;
        if (M == 65535) {
          std::memcpy(p, full, sizeof full);
          continue;
        }
        // Each channel mixes the layer's share (65535 - M) with the colour's share M, both
        // scaled down by 8 bits before they are added so that the sum stays within 32 bits.
        for (int c = 0; c < 3; ++c) {
          const uint32_t layerShare = (uint32_t{p[c]} * (65535 - M)) >> 8;
          const uint32_t colourShare = (value[c] * 256 * M) >> 8;
          p[c] = static_cast<uint16_t>((layerShare + colourShare) >> 8);
        }
        p[3] = 65535;
      }
    }
  });
  return 1;
}

int32_t ClearMaskedAlpha(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  if (!State().maskEnabled) return Clear(red, green, blue, alpha);
  LayerRecord* layer = CurrentLayerWithPixels();
  if (!layer) return 0;
  // The colour as a picture: one row of it serves every row of the load.
  const std::size_t width = std::size_t(layer->width);
  OwnedPlane<uint8_t> row(static_cast<uint8_t*>(TryAllocateBytes(width * 4)));
  if (!row) return 0;
  const uint8_t colour[4] = {uint8_t(red), uint8_t(green), uint8_t(blue), uint8_t(alpha)};
  FillPixels(row.get(), width, colour);
  LoadRGBA32IntoLayer(*layer, row.get(), 0, 0, 0, layer->width, layer->height, true);
  return 1;
}

int32_t ClearRGBA64(void* dst, int32_t dstRowBytes, int32_t red16, int32_t green16, int32_t blue16,
                    int32_t alpha16) {
  const EngineState& s = State();
  if (!dst || !RowHolds(dstRowBytes, s.canvasWidth, 8) || dstRowBytes % 2 != 0) return 0;
  const uint16_t colour[4] = {uint16_t(red16), uint16_t(green16), uint16_t(blue16),
                              uint16_t(alpha16)};
  FillRows(dst, dstRowBytes, s.canvasHeight, std::size_t(std::max(s.canvasWidth, 0)), colour);
  return 1;
}

int32_t ClearRGBA32(void* dst, int32_t dstRowBytes, int32_t red, int32_t green, int32_t blue,
                    int32_t alpha) {
  const EngineState& s = State();
  if (!dst || !RowHolds(dstRowBytes, s.canvasWidth, 4)) return 0;
  const uint8_t colour[4] = {uint8_t(red), uint8_t(green), uint8_t(blue), uint8_t(alpha)};
  FillRows(dst, dstRowBytes, s.canvasHeight, std::size_t(std::max(s.canvasWidth, 0)), colour);
  return 1;
}

int32_t ClearRGBA32Buf(void* dst, int32_t width, int32_t height, int32_t red, int32_t green,
                       int32_t blue, int32_t alpha) {
  if (!dst || width <= 0 || height <= 0 || width > INT32_MAX / 4) return 0;
  const uint8_t colour[4] = {uint8_t(red), uint8_t(green), uint8_t(blue), uint8_t(alpha)};
  FillRows(dst, int64_t{width} * 4, height, std::size_t(width), colour);
  return 1;
}

}  // namespace engine
