// Rectangles, ellipses and gradients: drawn by the library into the destination buffer 32, then
// composited into the current layer.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/composite_rgba32_into_layer.h"
#include "engine/engine_state.h"
#include "engine/layer_alpha.h"
#include "engine/layer_fills.h"
#include "engine/layer_stack.h"
#include "imaging/gradients.h"
#include "imaging/shapes.h"
#include "process/drawing.h"
#include "engine/mask_texture_weight.h"
#include "engine/processing_buffers.h"

namespace process {
namespace {

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }
uint32_t OpacityFromPercent(int32_t percent) {
  return uint32_t(std::clamp(percent, 0, 100) * 2.559);
}
uint32_t PackRgb(int32_t red, int32_t green, int32_t blue) {
  return uint32_t(red & 0xFF) | uint32_t(green & 0xFF) << 8 | uint32_t(blue & 0xFF) << 16;
}

// The current layer when drawings can reach it: canvas-sized, with pixels.
engine::LayerRecord* DrawingLayer() {
  engine::LayerRecord* layer = engine::State().currentLayer;
  return layer && engine::IsCanvasSized(layer) ? layer : nullptr;
}

// Draws with draw(buffer, width, height) into the destination buffer cleared to `clear`, then
// finish(buffer) and composites it Normal at the opacity through the mask, texture and alpha lock.
template <class Draw, class Finish>
void DrawAndComposite(const uint8_t clear[4], uint32_t opacity, Draw&& draw, Finish&& finish) {
  const engine::EngineState& s = engine::State();
  engine::LayerRecord* layer = DrawingLayer();
  if (!layer) return;
  const engine::HeldDstBuffer32 held;
  uint8_t* buffer = held.pixels();
  if (!buffer) return;
  const uint32_t width = uint32_t(s.canvasWidth), height = uint32_t(s.canvasHeight);
  engine::ClearRGBA32(buffer, s.canvasWidth * 4, clear[0], clear[1], clear[2], clear[3]);
  if (!draw(buffer, width, height)) return;
  finish(buffer);
  engine::AdjustRGBA32ByMaskAndTexture(buffer, s.canvasWidth, s.canvasHeight);
  render::CompositeRGBA32IntoLayer(buffer, layer->pixels, 0, 0, int32_t(opacity), layer->alphaLock);
}

// The box of a dragged shape, all edges inclusive.
struct ShapeBox {
  int64_t left, top, right, bottom;
};
ShapeBox BoxOf(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  ShapeBox box;
  if (x0 < x1) {
    box.left = x0, box.right = int64_t{x1} - 1;
  } else {
    box.left = int64_t{x1} + 1, box.right = x0;
  }
  box.top = std::min(y0, y1), box.bottom = std::max(y0, y1);
  return box;
}

}  // namespace

void DrawRectangle(int32_t red, int32_t green, int32_t blue, int32_t x0, int32_t y0, int32_t x1,
                   int32_t y1, int32_t opacity) {
  const ShapeBox box = BoxOf(x0, y0, x1, y1);
  const uint32_t colour = PackRgb(red, green, blue) | 0xFF000000u;
  const uint8_t clear[4] = {uint8_t(red), uint8_t(green), uint8_t(blue), 0};
  DrawAndComposite(
      clear, OpacityFromPercent(opacity),
      [&](uint8_t* buffer, uint32_t width, uint32_t height) {
        // The library's rectangles exclude their right and bottom edges.
        const imaging::ImageRect rect{Clamp32(box.left), Clamp32(box.top), Clamp32(box.right + 1),
                                      Clamp32(box.bottom + 1)};
        return imaging::IS3FillSolidRect(buffer, width, height, 4, width * 4, rect, colour, 0) != 0;
      },
      [](uint8_t*) {});
}

void DrawEllipse(int32_t red, int32_t green, int32_t blue, int32_t x0, int32_t y0, int32_t x1,
                 int32_t y1, int32_t opacity) {
  const ShapeBox box = BoxOf(x0, y0, x1, y1);
  const int64_t halfWidth = std::max<int64_t>((box.right - box.left) / 2, 2);
  const int64_t halfHeight = std::max<int64_t>((box.bottom - box.top) / 2, 2);
  const imaging::ImagePoint centre{Clamp32(box.left + halfWidth), Clamp32(box.top + halfHeight)};
  const uint32_t colour = PackRgb(red, green, blue) | 0xFF000000u;
  const uint8_t clear[4] = {uint8_t(red), uint8_t(green), uint8_t(blue), 0};
  DrawAndComposite(
      clear, OpacityFromPercent(opacity),
      [&](uint8_t* buffer, uint32_t width, uint32_t height) {
        return imaging::IS3DrawEllipseOnImage(buffer, width, height, 4, width * 4, colour, centre,
                                              uint32_t(std::min<int64_t>(halfWidth, UINT32_MAX)),
                                              uint32_t(std::min<int64_t>(halfHeight, UINT32_MAX)),
                                              1, 100, 0, 0, imaging::kEllipseSmoothEdge) != 0;
      },
      [](uint8_t*) {});
}

void DrawGradient(const int32_t rgb[4][3], int32_t colourCount, int32_t x0, int32_t y0, int32_t x1,
                  int32_t y1, const char* kind) {
  // Stop entries are blue, green, red, alpha; the alpha is inverted after the fill, so 0 is opaque.
  uint8_t colours[4][4] = {};
  int32_t positions[4] = {};
  uint32_t stops = 0;
  auto addStop = [&](const int32_t* c, int32_t position, uint8_t alpha) {
    uint8_t* e = colours[stops];
    e[0] = uint8_t(c[2]), e[1] = uint8_t(c[1]), e[2] = uint8_t(c[0]), e[3] = alpha;
    positions[stops++] = position;
  };
  const int32_t n = std::clamp(colourCount, 0, 4);
  if (n <= 1) {
    addStop(rgb[0], 0, n == 0 ? 255 : 0);
    addStop(rgb[0], 100, n == 0 ? 0 : 255);
  } else {
    for (int32_t k = 0; k < n; ++k) addStop(rgb[k], k * (100 / (n - 1)), 0);
  }
  const bool linear = kind && std::strcmp(kind, "Linear") == 0;
  const uint8_t clear[4] = {0, 0, 0, 0};
  DrawAndComposite(
      clear, 255,
      [&](uint8_t* buffer, uint32_t width, uint32_t height) {
        if (linear) {
          return imaging::ISE3GradientFillImageLinear(buffer, width, height, 4, width * 4, x0, y0,
                                                      x1, y1, &colours[0][0], positions, stops, 1,
                                                      1, 0) != 0;
        }
        const double radius = std::hypot(double(x1) - x0, double(y1) - y0);
        return imaging::ISE3GradientFillImageRadial(buffer, width, height, 4, width * 4, radius, x0,
                                                    y0, &colours[0][0], positions, stops, 0, 1,
                                                    0) != 0;
      },
      [](uint8_t* buffer) { engine::InvertAlpha_RGBA32(buffer); });
}

}  // namespace process
