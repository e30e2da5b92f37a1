// Geometry and the per-pixel mix rules of the blend buffer operations.
#pragma once

#include <cstdint>

#include "brush/dab_internal.h"

namespace brush {

// The dab square of side brushSize centred on (x, y), and its visible part: canvas columns
// x0..x1-1 and rows y0..y1-1, meeting blend columns x0 - left.. and rows y0 - top.. .
struct BlendSquare {
  int64_t left = 0, top = 0;  // unclipped top-left corner
  int32_t side = 0;
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool crossesEdge = false;
};

// The square for the current brush, or false when the blend buffer cannot be used now.
bool PlaceBlendSquare(const engine::EngineState& s, int32_t x, int32_t y, BlendSquare& square);

// One row of the mix: canvas pixels p (alpha already reduced by the mask) into blend pixels q.
struct MixRow {
  const uint16_t* canvas = nullptr;
  const uint32_t* canvasAlpha = nullptr;
  uint16_t* blend = nullptr;
  int32_t count = 0;
};
struct MixRules {
  uint32_t k = 0;  // the canvas's share, 0..65535
  int32_t mixShift = 0;
  uint16_t banks[4][4] = {};
};
using MixKernel = void (*)(const MixRow& row, const MixRules& rules);
MixKernel BlendMixKernel(int32_t mixMode);
// True when the mix rule leaves the carried paint as it is before the canvas's share is taken
// (rule 32 and every number without a rule).
bool BlendMixKeepsCarriedPaint(int32_t mixMode);

}  // namespace brush
