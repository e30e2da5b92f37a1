#include "engine/layer_alpha.h"

#include <algorithm>
#include <cstddef>

#include "engine/engine_state.h"
#include "engine/layer_stack.h"
#include "engine/merge_mode_names.h"

namespace engine {
namespace {

// Calls fn(pixel) for the first cols x rows RGBA64 pixels of a layer.
template <class Fn>
void ForEachPixel(LayerRecord& layer, int32_t cols, int32_t rows, Fn fn) {
  for (int32_t y = 0; y < rows; ++y) {
    uint16_t* p = layer.pixels + std::size_t(y) * layer.stride;
    for (int32_t x = 0; x < cols; ++x, p += 4) fn(p);
  }
}

template <class Fn>
void ForEachPixel(LayerRecord& layer, Fn fn) {
  ForEachPixel(layer, layer.width, layer.height, fn);
}

// Calls fn(pixel) for count RGBA32 pixels.
template <class Fn>
void ForEachPixel32(uint8_t* buffer, std::size_t count, Fn fn) {
  for (std::size_t i = 0; i < count; ++i, buffer += 4) fn(buffer);
}

std::size_t CanvasPixels() {
  const EngineState& s = State();
  return std::size_t(std::max(s.canvasWidth, 0)) * std::size_t(std::max(s.canvasHeight, 0));
}

std::size_t BufferPixels(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  return std::size_t(width) * std::size_t(height);
}

}  // namespace

void InvertAlpha(int32_t index) {
  if (LayerRecord* layer = LayerWithPixels(index))
    ForEachPixel(*layer, [](uint16_t* p) { p[3] = static_cast<uint16_t>(65535 - p[3]); });
}

void SetLayerAlpha(int32_t index, int32_t value) {
  const auto alpha = static_cast<uint16_t>(value);
  if (LayerRecord* layer = LayerWithPixels(index))
    ForEachPixel(*layer, [alpha](uint16_t* p) { p[3] = alpha; });
}

// Moves the layer's opacity into its pixels; the visible result stays the same. Alpha modes use
// the alpha channel for other ends, so they are left alone.
void NormalizeLayerAlpha(int32_t index) {
  LayerRecord* layer = LayerWithPixels(index);
  if (!layer || layer->mergeMode > engine::kModeUnnamed) return;
  const uint32_t opacity = layer->opacity;
  ForEachPixel(*layer,
               [opacity](uint16_t* p) { p[3] = static_cast<uint16_t>((opacity * p[3]) >> 8); });
  layer->opacity = 256;
}

// Nearly transparent pixels become fully transparent pixels of one colour.
void SetColorAlpha(int32_t red, int32_t green, int32_t blue) {
  EngineState& s = State();
  LayerRecord* layer = s.currentLayer;
  if (!layer || !layer->pixels) return;
  const auto r = static_cast<uint16_t>(red * 257), g = static_cast<uint16_t>(green * 257),
             b = static_cast<uint16_t>(blue * 257);
  const int32_t cols = std::min(s.canvasWidth, layer->width);
  const int32_t rows = std::min(s.canvasHeight, layer->height);
  ForEachPixel(*layer, cols, rows, [=](uint16_t* p) {
    if (p[3] < 256) {
      p[0] = r;
      p[1] = g;
      p[2] = b;
      p[3] = 0;
    }
  });
}

// Turns a picture into a soft grey blob: mode 1 pulls each channel toward white or black by how
// far the pixel's mean m lies below or above mid-grey, any other mode flattens it to mid-grey;
// opaque enough pixels get an alpha that follows m.
void CreateBlobFromImage(int32_t index, int32_t mode) {
  LayerRecord* layer = LayerWithPixels(index);
  if (!layer) return;
  constexpr double k = 1.0 / 65534.0;
  ForEachPixel(*layer, [mode](uint16_t* p) {
    const int32_t m = (int32_t{p[0]} + p[1] + p[2]) / 3;
    for (int c = 0; c < 3; ++c) {
      const int64_t v = p[c];
      double result;
      if (mode != 1)
        result = 32767;
      else if (m > 32766)
        result = v - static_cast<double>(v * (m - 32767)) * k;
      else
        result = v + static_cast<double>((65535 - v) * (32767 - m)) * k;
      p[c] = static_cast<uint16_t>(static_cast<int32_t>(result));
    }
    if (p[3] > 8191) p[3] = static_cast<uint16_t>(static_cast<int32_t>(m * 0.843 + 10239));
  });
}

void InvertAlpha_RGBA32(uint8_t* buffer) {
  if (!buffer) return;
  ForEachPixel32(buffer, CanvasPixels(),
                 [](uint8_t* p) { p[3] = static_cast<uint8_t>(255 - p[3]); });
}

void SetAlphaFromRGBAImageColor(uint8_t* buffer, int32_t red, int32_t green, int32_t blue) {
  if (!buffer) return;
  ForEachPixel32(buffer, CanvasPixels(), [=](uint8_t* p) {
    if (p[0] == red && p[1] == green && p[2] == blue) p[3] = 0;
  });
}

void SetColorAlphaRGBABuf(uint8_t* buffer, int32_t width, int32_t height, int32_t red,
                          int32_t green, int32_t blue) {
  if (!buffer) return;
  ForEachPixel32(buffer, BufferPixels(width, height), [=](uint8_t* p) {
    if (p[3] == 0) {
      p[0] = static_cast<uint8_t>(red);
      p[1] = static_cast<uint8_t>(green);
      p[2] = static_cast<uint8_t>(blue);
    }
  });
}

void SetColorRGBABuf(uint8_t* buffer, int32_t width, int32_t height, int32_t red, int32_t green,
                     int32_t blue) {
  if (!buffer) return;
  ForEachPixel32(buffer, BufferPixels(width, height), [=](uint8_t* p) {
    p[0] = static_cast<uint8_t>(red);
    p[1] = static_cast<uint8_t>(green);
    p[2] = static_cast<uint8_t>(blue);
  });
}

}  // namespace engine
