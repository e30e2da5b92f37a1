// The pieces of a dab, shared by the colour dab, the mask dab and their kernels. A dab runs in
// three passes per canvas row: coverage (shape, grit, opacity, texture, mask), source colour
// (brush colour or blend buffer with the per-pixel variations), and the colour rule that
// composites the source over the target. Everything that does not change within a dab is fixed
// here once per dab.
#pragma once

#include <cstdint>

#include "brush/tool_state.h"
#include "engine/engine_state.h"

namespace brush {

// The dab square on the canvas after clipping: canvas columns x0..x1-1 and rows y0..y1-1 meet dab
// columns firstColumn.. and dab rows firstRow.. .
struct DabFrame {
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int32_t firstColumn = 0, firstRow = 0;
  int32_t Columns() const { return x1 > x0 ? x1 - x0 : 0; }
};

// True when a canvas exists and the brush fits its buffers; a dab does nothing otherwise.
bool BrushReady(const engine::EngineState& s);

// Places a dab of side scaledSize centred on (x, y) and clips it to the canvas. Coordinates far
// outside the canvas are handled without overflow.
DabFrame PlaceDab(const engine::EngineState& s, int32_t x, int32_t y);

// Widens the undo store's pending rectangle (and the paint layer's, when asked) by the frame.
void WidenChangedRects(engine::EngineState& s, const DabFrame& frame, bool paintLayerToo);

// Draws a new grit window when the countdown has run out.
void DrawGritWindow(engine::EngineState& s);

// Per-dab constants of the coverage pass.
struct CoverageSetup {
  const uint16_t* shape = nullptr;  // shape buffer, row stride maxBrushSize
  const int32_t* sizeIndex = nullptr;
  int32_t stride = 0;  // maxBrushSize
  int32_t brushSize = 0;
  int32_t half = 0;  // brushSize / 2, the centre of rotation
  bool rotate = false;
  float sine = 0.0f, cosine = 0.0f;
  const uint8_t* grit = nullptr;  // window origin, or null without grit
  int32_t density = 0;
  int32_t alphaScaled = -1;          // -1: no opacity reduction
  const uint8_t* texture = nullptr;  // canvas-sized, or null
  const uint16_t* mask = nullptr;    // canvas-sized, or null when the mask does not apply
  int32_t canvasWidth = 0;
  bool solid = false;
  bool needPositions = true;  // the colour pass reads the blend buffer at the shape positions
  bool identity = false;      // sizeIndex[i] = i: the dab samples the shape unscaled
};

CoverageSetup MakeCoverageSetup(const engine::EngineState& s, bool applyMask);

// Coverage of one row: for canvas row y (dab row j) and the frame's columns, writes each pixel's
// coverage (0 = skipped) and its shape position (row x maxBrushSize + column).
void CoverageRow(const CoverageSetup& c, const DabFrame& frame, int32_t j, int32_t y,
                 uint32_t* coverage, int32_t* position);

// The per-pixel colour and luminance variations and their random arrays. Row pointers restart
// with every dab and are redrawn at each row start when unset or near the array's end.
struct PixelVariation {
  int32_t colorVary = 0;  // 0: off
  int32_t lumVary = 0;    // 0: off
  const uint8_t* colorBytes = nullptr;
  const uint8_t* lumBytes = nullptr;
  uint32_t colorLength = 0, lumLength = 0;
  int64_t colorCursor = -1, lumCursor = -1;  // -1: unset
  int32_t scaledSize = 0;
  int32_t maxBrushSize = 0;

  bool Any() const { return colorVary > 0 || lumVary > 0; }
  void StartRow();
  // Amount the colour variation adds to a channel (from the next byte of its array).
  int32_t NextColorOffset();
  // The luminance factor f of the next byte of its array.
  double NextLumFactor();
};

PixelVariation MakePixelVariation(const engine::EngineState& s);

// ch moved toward white (f > 0.5) or black by the luminance factor f.
uint16_t ApplyLumFactor(int32_t channel, double f);
inline uint16_t Clamp16(int64_t value) {
  return static_cast<uint16_t>(value < 0 ? 0 : value > 65535 ? 65535 : value);
}

// Per-dab constants of the colour kernels.
struct PaintRules {
  int32_t mixMode = kPlainPaint;
  bool blending = false;
  bool erase = false;
  bool remix = false;
  int32_t blendStrength = 0, blendInverse = 0;
  bool remixInRange = true;  // strength 1..256 with its inverse: the remix fits 32 bits
  bool writeColour = true;
  bool alphaWritable = true;  // paint layer, or no layer lock, no tool lock and a layer above 1
  bool blobLocked = false;
  int32_t alphaLevel = 0;  // above 0: the alpha written
  int32_t mixAmount = 0, mixInverse = 256, mixShift = 0;
  uint16_t banks[4][4] = {};  // [channel][bank]
  uint16_t* blend = nullptr;  // blend buffer (RGBA64, pixel index = shape position)
};

// One row of the colour pass: the target pixels of the frame's columns on one canvas row.
struct PaintSpan {
  uint16_t* target = nullptr;  // first pixel of the row's visible part
  const uint32_t* coverage = nullptr;
  const int32_t* position = nullptr;
  const uint16_t* source = nullptr;
  int32_t sourceStep = 0;  // 4 for a colour per pixel, 0 for one dab colour
  int32_t count = 0;
};

using PaintKernel = void (*)(const PaintSpan& span, const PaintRules& rules);

// Kernels of mixMode 33 and below (plain paint 32, multiply otherwise). constantSource: every
// pixel paints the dab colour (no blend buffer, no per-pixel variation).
PaintKernel LowRuleKernel(int32_t mixMode, const PaintRules& rules, bool constantSource);
// Kernel of a mix rule (mixMode 34 and above), from the rule table.
PaintKernel MixRuleKernel(int32_t mixMode);

}  // namespace brush
