// The coverage pass of a dab: how strongly each dab pixel paints, from the shape, the grit, the
// opacity, the texture and the mask.
#include <algorithm>

#include "brush/tool_state.h"

#include "brush/dab_internal.h"
#include "platform/cpu_features.h"

namespace brush {

CoverageSetup MakeCoverageSetup(const engine::EngineState& s, bool applyMask) {
  const ToolState& t = brush::Tool();
  CoverageSetup c;
  c.shape = s.shapeBuffer;
  c.sizeIndex = t.sizeIndex;
  c.stride = s.maxBrushSize;
  c.brushSize = t.brushSize;
  c.half = t.brushSize / 2;
  c.rotate = t.rotateBrushMode == 1;
  c.sine = t.rotateSine;
  c.cosine = t.rotateCosine;
  if (t.gritSize != 0) {
    const GritPosition& g = t.gritPosition;
    c.grit = s.gritBuffers[g.buffer >= 0 ? g.buffer : 0] + (g.buffer >= 0 ? g.offset : 0);
    c.density = t.density;
  }
  // Below 100 % the coverage is scaled by alphaScaled / 128; a negative opacity paints nothing.
  if (t.alphaPercent < 100) c.alphaScaled = std::max(t.alphaScaled, 0);
  c.texture = s.textureImage;
  c.mask = applyMask && s.maskEnabled ? s.maskPlane : nullptr;
  c.canvasWidth = s.canvasWidth;
  c.solid = t.solidBrushMode != 0;
  // A dab as large as the shape samples it pixel for pixel (the size setters make it so).
  c.identity = t.scaledSize == t.brushSize;
  return c;
}

namespace {

// The passes below are plain loops over the row that the compiler vectorises; the row is built
// twice, for the baseline processor and for AVX2, from this one body.
[[gnu::always_inline]] inline void CoverageRowBody(const CoverageSetup& c, const DabFrame& frame,
                                                   int32_t j, int32_t y, uint32_t* coverage,
                                                   int32_t* position) {
  const int32_t count = frame.Columns();
  const int32_t* columnIndex = c.sizeIndex + frame.firstColumn;
  const int32_t shapeRow = c.sizeIndex[j];
  const std::size_t canvasRow = std::size_t(y) * c.canvasWidth + frame.x0;
  const uint8_t* texture = c.texture ? c.texture + canvasRow : nullptr;
  const uint16_t* mask = c.mask ? c.mask + canvasRow : nullptr;

  // Shape positions: straight, or turned about the shape's centre when the turned position
  // lies inside the shape (single-precision sine and cosine, truncated toward zero).
  if (c.rotate) {
    const int32_t dy = shapeRow - c.half;
    for (int32_t i = 0; i < count; ++i) {
      const int32_t column = columnIndex[i];
      const int32_t dx = column - c.half;
      const float fx = c.cosine * static_cast<float>(dx) - c.sine * static_cast<float>(dy);
      const float fy = c.sine * static_cast<float>(dx) + c.cosine * static_cast<float>(dy);
      const int32_t rx = static_cast<int32_t>(fx) + c.half;
      const int32_t ry = static_cast<int32_t>(fy) + c.half;
      const bool inside = rx >= 0 && rx < c.brushSize && ry >= 0 && ry < c.brushSize;
      position[i] = inside ? ry * c.stride + rx : shapeRow * c.stride + column;
    }
    for (int32_t i = 0; i < count; ++i) coverage[i] = c.shape[position[i]];
    if (c.grit) {
      const int32_t density = c.density;
      for (int32_t i = 0; i < count; ++i) {
        coverage[i] = c.grit[position[i]] > density ? 0u : coverage[i];
      }
    }
  } else {
    const int32_t rowStart = shapeRow * c.stride;
    if (c.needPositions) {
      for (int32_t i = 0; i < count; ++i) position[i] = rowStart + columnIndex[i];
    }
    const uint16_t* shape = c.shape + rowStart;
    if (c.identity) {
      shape += frame.firstColumn;
      for (int32_t i = 0; i < count; ++i) coverage[i] = shape[i];
    } else {
      for (int32_t i = 0; i < count; ++i) coverage[i] = shape[columnIndex[i]];
    }
    if (c.grit) {
      // The density in a local: read through the setup, it could alias the coverage row, and the
      // loop would stay one branchy pixel at a time. Selects, not branches: grit is noise.
      const int32_t density = c.density;
      const uint8_t* grit = c.grit + rowStart;
      if (c.identity) {
        grit += frame.firstColumn;
        for (int32_t i = 0; i < count; ++i) coverage[i] = grit[i] > density ? 0u : coverage[i];
      } else {
        for (int32_t i = 0; i < count; ++i) {
          coverage[i] = grit[columnIndex[i]] > density ? 0u : coverage[i];
        }
      }
    }
  }

  if (c.alphaScaled >= 0) {
    for (int32_t i = 0; i < count; ++i) coverage[i] = (coverage[i] * uint32_t(c.alphaScaled)) >> 7;
  }
  if (texture) {
    // Texture bytes lie in 4..250; a byte of 255 would let the dab through unchanged.
    for (int32_t i = 0; i < count; ++i) {
      if (texture[i] < 255) coverage[i] = (texture[i] * coverage[i]) >> 8;
    }
  }
  if (mask) {
    for (int32_t i = 0; i < count; ++i) {
      if (mask[i] < 65535) coverage[i] = (mask[i] * coverage[i]) >> 16;
    }
  }
  if (c.solid) {
    for (int32_t i = 0; i < count; ++i) coverage[i] = coverage[i] ? 65535u : 0u;
  }
}

void CoverageRowBaseline(const CoverageSetup& c, const DabFrame& frame, int32_t j, int32_t y,
                         uint32_t* coverage, int32_t* position) {
  CoverageRowBody(c, frame, j, y, coverage, position);
}

#if defined(__x86_64__) || defined(__i386__)
// Without fused multiply-adds (the build never contracts), so the turned positions stay those of
// the baseline row.
__attribute__((target("avx2"))) void CoverageRowAvx2(const CoverageSetup& c, const DabFrame& frame,
                                                     int32_t j, int32_t y, uint32_t* coverage,
                                                     int32_t* position) {
  CoverageRowBody(c, frame, j, y, coverage, position);
}
#endif

}  // namespace

void CoverageRow(const CoverageSetup& c, const DabFrame& frame, int32_t j, int32_t y,
                 uint32_t* coverage, int32_t* position) {
#if defined(__x86_64__) || defined(__i386__)
  if (platform::CpuAtLeast(platform::CpuLevel::kAvx2)) {
    CoverageRowAvx2(c, frame, j, y, coverage, position);
    return;
  }
#endif
  CoverageRowBaseline(c, frame, j, y, coverage, position);
}

}  // namespace brush
