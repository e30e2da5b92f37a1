#include "brush/blend_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "brush/blend_buffer_internal.h"
#include "brush/carried_paint_kernels.h"
#include "brush/tool_state.h"
#include "engine/heap.h"
#include "engine/layer_stack.h"

namespace brush {
namespace {

// What a copy or mix reads: a canvas-sized RGBA64 plane with the canvas stride.
const uint16_t* LayerPlane(const engine::LayerRecord* layer) {
  return layer && engine::IsCanvasSized(layer) ? layer->pixels : nullptr;
}
const uint16_t* SurfacePlane() { return LayerPlane(engine::State().currentLayer); }
const uint16_t* HistoryPlane() { return engine::State().undo.historyBack; }
const uint16_t* TracePlane() { return LayerPlane(engine::State().traceLayer); }
const uint16_t* NumberedLayerPlane(int32_t index) {
  return LayerPlane(engine::LayerWithPixels(index));
}

// Amounts outside 0..256 are taken as the nearer end.
int32_t ClampAmount(int32_t amount) { return std::clamp(amount, 0, 256); }
// The canvas's (or colour's) share of a mix or tint on the 16-bit scale.
uint32_t Share(int32_t amount) {
  return uint32_t(std::clamp<int64_t>(int64_t{amount} * 256, 0, 65535));
}

uint16_t* BlendPixel(const engine::EngineState& s, const BlendSquare& q, int32_t cx, int32_t cy) {
  const std::size_t row = std::size_t(cy - q.top), column = std::size_t(cx - q.left);
  return s.blendBuffer + row * s.brushStride + column * 4;
}

// The canvas alpha, reduced by the mask where the mask is on: k = M (65535 kept exactly), alpha
// scaled by k / 65535 in floating point and truncated.
struct MaskedAlpha {
  const uint16_t* mask = nullptr;
  explicit MaskedAlpha(const engine::EngineState& s)
      : mask(s.maskEnabled ? s.maskPlane : nullptr) {}
  uint32_t operator()(uint32_t alpha, std::size_t canvasIndex) const {
    if (!mask) return alpha;
    const uint32_t M = mask[canvasIndex];
    if (M == 65535) return alpha;  // k = 65535 keeps the alpha exactly
    const uint32_t k = (M * 65535) >> 16;
    return uint32_t(alpha * double(k) / 65535);
  }
};

}  // namespace

bool PlaceBlendSquare(const engine::EngineState& s, int32_t x, int32_t y, BlendSquare& q) {
  const ToolState& t = brush::Tool();
  if (t.blendStrength == 0 || !s.blendBuffer) return false;
  if (t.brushSize < 1 || t.brushSize > s.maxBrushSize) return false;
  q.side = t.brushSize;
  q.left = int64_t{x} - q.side / 2;
  q.top = int64_t{y} - q.side / 2;
  const int64_t right = q.left + q.side, bottom = q.top + q.side;  // exclusive
  q.crossesEdge = q.left < 0 || q.top < 0 || right > s.canvasWidth || bottom > s.canvasHeight;
  q.x0 = int32_t(std::clamp<int64_t>(q.left, 0, s.canvasWidth));
  q.y0 = int32_t(std::clamp<int64_t>(q.top, 0, s.canvasHeight));
  q.x1 = int32_t(std::clamp<int64_t>(right, 0, s.canvasWidth));
  q.y1 = int32_t(std::clamp<int64_t>(bottom, 0, s.canvasHeight));
  return true;
}

void DoCopyBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount,
                       int32_t opaqueEdge) {
  const engine::EngineState& s = engine::State();
  BlendSquare q;
  if (!plane || !PlaceBlendSquare(s, x, y, q)) return;
  const uint32_t u = uint32_t(ClampAmount(amount));
  const uint16_t* brush = s.brushColor;
  const bool opaque = (opaqueEdge & 0xFF) != 0;
  // Alpha values are kept to 16 bits, so an amount of 256 loads alpha 0.
  const uint16_t edgeAlpha = uint16_t(u * 256);
  const uint16_t clearAlpha = uint16_t(opaque ? (256 - u) * 256 : u * 256);
  if (q.crossesEdge) {
    for (int32_t row = 0; row < q.side; ++row) {
      uint16_t* b = s.blendBuffer + std::size_t(row) * s.brushStride;
      for (int32_t column = 0; column < q.side; ++column, b += 4) {
        if (opaque) {
          b[3] = 65535;
        } else {
          b[0] = brush[0], b[1] = brush[1], b[2] = brush[2], b[3] = edgeAlpha;
        }
      }
    }
  }
  const MaskedAlpha maskedAlpha(s);
  for (int32_t cy = q.y0; cy < q.y1; ++cy) {
    const std::size_t canvasRow = std::size_t(cy) * s.canvasWidth;
    const uint16_t* p = plane + (canvasRow + q.x0) * 4;
    uint16_t* b = BlendPixel(s, q, q.x0, cy);
    for (int32_t cx = q.x0; cx < q.x1; ++cx, p += 4, b += 4) {
      const uint32_t pa = maskedAlpha(p[3], canvasRow + cx);
      if (pa == 0) {
        b[0] = brush[0], b[1] = brush[1], b[2] = brush[2], b[3] = clearAlpha;
        continue;
      }
      // u is the brush colour's share; the +1 keeps dark paint from settling at 0.
      for (int c = 0; c < 3; ++c) {
        b[c] = uint16_t(std::min<uint32_t>(((p[c] * (256 - u) + brush[c] * u) >> 8) + 1, 65280));
      }
      b[3] = uint16_t((pa * (256 - u) + brush[3] * u) >> 8);
    }
  }
}

void CopyBlendBufferSurface(int32_t x, int32_t y, int32_t amount, int32_t opaqueEdge) {
  DoCopyBlendBuffer(x, y, SurfacePlane(), amount, opaqueEdge);
}
void CopyBlendBufferLayer(int32_t layer, int32_t x, int32_t y, int32_t amount) {
  DoCopyBlendBuffer(x, y, NumberedLayerPlane(layer), amount, 0);
}
void CopyBlendBufferHistory(int32_t x, int32_t y, int32_t amount) {
  DoCopyBlendBuffer(x, y, HistoryPlane(), amount, 0);
}
void CopyBlendBufferTrace(int32_t x, int32_t y, int32_t amount) {
  DoCopyBlendBuffer(x, y, TracePlane(), amount, 0);
}

void DoCopyBlendBufferMask(int32_t x, int32_t y, int32_t amount) {
  const engine::EngineState& s = engine::State();
  BlendSquare q;
  if (!s.maskPlane || !PlaceBlendSquare(s, x, y, q)) return;
  const uint32_t u = uint32_t(ClampAmount(amount));
  const uint16_t* c = s.brushColor;
  const uint32_t L = (uint32_t{c[0]} + c[1] + c[2]) / 3;
  const uint32_t T = L < 256 ? 65535 : 65280 - L;
  // The mask-dab layout: one 16-bit value per shape pixel, with the RGBA64 row length.
  if (q.crossesEdge) {
    for (int32_t row = 0; row < q.side; ++row) {
      std::fill_n(s.blendBuffer + std::size_t(row) * s.brushStride, q.side, uint16_t(T));
    }
  }
  for (int32_t cy = q.y0; cy < q.y1; ++cy) {
    const uint16_t* mask = s.maskPlane + std::size_t(cy) * s.canvasWidth;
    uint16_t* b = s.blendBuffer + std::size_t(cy - q.top) * s.brushStride + (q.x0 - q.left);
    for (int32_t cx = q.x0; cx < q.x1; ++cx, ++b) {
      *b = uint16_t(std::min<uint32_t>(((mask[cx] * (256 - u) + u * T) >> 8) + 1, 65280));
    }
  }
}

void DoMixBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount) {
  engine::EngineState& s = engine::State();
  BlendSquare q;
  if (!plane || !PlaceBlendSquare(s, x, y, q)) return;
  MixRules rules;
  rules.k = Share(amount);
  rules.mixShift = brush::Tool().mixShift;
  std::memcpy(rules.banks, s.colorBanks, sizeof rules.banks);
  const MixKernel kernel = BlendMixKernel(brush::Tool().mixMode);
  // With no canvas share the mix changes nothing.
  const CarriedMixKernel vector = rules.k != 0 && BlendMixKeepsCarriedPaint(brush::Tool().mixMode)
                                      ? VectorCarriedMixKernel()
                                      : nullptr;
  const MaskedAlpha maskedAlpha(s);
  // The canvas alphas of a row, reduced by the mask, in the dab scratch (never allocated here).
  uint32_t* alpha = brush::Scratch().coverage;
  MixRow row;
  row.count = q.x1 - q.x0;
  row.canvasAlpha = alpha;
  for (int32_t cy = q.y0; cy < q.y1 && row.count > 0; ++cy) {
    const std::size_t canvasRow = std::size_t(cy) * s.canvasWidth;
    row.canvas = plane + (canvasRow + q.x0) * 4;
    row.blend = BlendPixel(s, q, q.x0, cy);
    if (maskedAlpha.mask) {
      for (int32_t i = 0; i < row.count; ++i)
        alpha[i] = maskedAlpha(row.canvas[4 * i + 3], canvasRow + q.x0 + i);
    } else {
      for (int32_t i = 0; i < row.count; ++i) alpha[i] = row.canvas[4 * i + 3];
    }
    MixRow rest = row;
    if (vector) {
      const int32_t done = vector(row, rules.k);
      rest.canvas += 4 * done, rest.canvasAlpha += done, rest.blend += 4 * done, rest.count -= done;
    }
    kernel(rest, rules);
  }
}

void MixBlendBufferSurface(int32_t x, int32_t y, int32_t amount) {
  DoMixBlendBuffer(x, y, SurfacePlane(), amount);
}
void MixBlendBufferLayer(int32_t layer, int32_t x, int32_t y, int32_t amount) {
  DoMixBlendBuffer(x, y, NumberedLayerPlane(layer), amount);
}
void MixBlendBufferHistory(int32_t x, int32_t y, int32_t amount) {
  DoMixBlendBuffer(x, y, HistoryPlane(), amount);
}
void MixBlendBufferTrace(int32_t x, int32_t y, int32_t amount) {
  DoMixBlendBuffer(x, y, TracePlane(), amount);
}

void DoColorBlendBuffer(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue,
                        int32_t amount) {
  const engine::EngineState& s = engine::State();
  BlendSquare q;
  if (!PlaceBlendSquare(s, x, y, q)) return;
  const uint32_t k = Share(amount), keep = 65536 - k;
  const uint32_t colour[3] = {uint32_t(std::clamp(red, 0, 255)) * 256,
                              uint32_t(std::clamp(green, 0, 255)) * 256,
                              uint32_t(std::clamp(blue, 0, 255)) * 256};
  for (int32_t cy = q.y0; cy < q.y1; ++cy) {
    uint16_t* b = BlendPixel(s, q, q.x0, cy);
    for (int32_t cx = q.x0; cx < q.x1; ++cx, b += 4) {
      for (int c = 0; c < 3; ++c) {
        const uint32_t tinted =
            b[3] == 0 ? colour[c] : ((((b[c] * keep) >> 8) + ((colour[c] * k) >> 8)) >> 8) + 1;
        b[c] = uint16_t(std::min<uint32_t>(tinted, 65280));
      }
    }
  }
}

void ClearBlendBuffer() { FillBlendBuffer(0, 0); }

void FillBlendBuffer(int32_t high, int32_t low) {
  const engine::EngineState& s = engine::State();
  if (brush::Tool().blendStrength == 0 || !s.blendBuffer) return;
  const std::size_t count = std::size_t(s.maxBrushSize) * s.maxBrushSize;
  std::fill_n(s.blendBuffer, count, uint16_t(high * 256 + low));
}

void FilterBlendBuffer(int32_t kind, int32_t level) {
  const engine::EngineState& s = engine::State();
  const ToolState& t = brush::Tool();
  if (t.blendStrength == 0 || !s.blendBuffer || t.brushSize < 1 || t.brushSize > s.maxBrushSize)
    return;
  const uint32_t b = uint32_t(std::clamp(std::trunc(level * 655.35), 0.0, 65535.0));
  for (int32_t row = 0; row < t.brushSize; ++row) {
    uint16_t* p = s.blendBuffer + std::size_t(row) * s.brushStride;
    for (int32_t column = 0; column < t.brushSize; ++column, p += 4) {
      switch (kind) {
        case 289:
          p[0] = p[1] = p[2] = uint16_t((uint32_t{p[0]} + p[1] + p[2]) / 3);
          break;
        case 290:
          for (int c = 0; c < 3; ++c) p[c] = uint16_t(65535 - p[c]);
          break;
        case 291:
          for (int c = 0; c < 3; ++c) p[c] = p[c] < b ? 0 : p[c];
          break;
        case 292:
          for (int c = 0; c < 3; ++c) p[c] = p[c] > b ? 65280 : p[c];
          break;
        default:
          return;
      }
    }
  }
}

}  // namespace brush
