// The mask dab: paints the mask plane instead of a layer. Black opens the mask (65535 lets colour
// dabs paint), white closes it.
#include <algorithm>

#include "brush/dab.h"
#include "brush/dab_internal.h"
#include "brush/tool_state.h"

namespace brush {
namespace {

// The mask value the brush colour stands for: dark colours open fully, light ones close.
int32_t MaskTarget(const ToolState& t) {
  const int32_t L = (int32_t{engine::State().brushColor[0]} + engine::State().brushColor[1] +
                     engine::State().brushColor[2]) /
                    3;
  return L < 256 ? 65535 : 65280 - L;
}

}  // namespace

void DrawDabGritMask(int32_t x, int32_t y) {
  engine::EngineState& s = engine::State();
  ToolState& t = brush::Tool();
  if (!BrushReady(s) || !s.maskPlane) return;

  const DabFrame frame = PlaceDab(s, x, y);
  WidenChangedRects(s, frame, false);
  if (frame.y0 >= frame.y1) return;
  DrawGritWindow(s);

  int64_t target = MaskTarget(t);
  if (t.colorVary > 0) {
    target += (int64_t{t.colorVary} / 2 - engine::Generator().Next() % t.colorVary) * 256;
    target = std::clamp<int64_t>(target, 0, 65535);
  }
  if (t.eraseModeOn) target = 65535;
  const uint32_t T = uint32_t(target);

  const bool blending = t.blendStrength != 0 && t.blendOffOnce == 0;
  const bool remix = blending && t.blendRemix != 0;
  const int64_t primaryStrength = t.blendPrimaryColorStrength;
  const int64_t primaryInverse = t.blendPrimaryColorInverse;
  const int64_t bs = t.blendStrength, bi = t.blendStrengthInverse;
  const int32_t stride = s.maxBrushSize;
  // The blend buffer read as 16-bit values, one per shape pixel, with the RGBA64 row length.
  uint16_t* blend = s.blendBuffer;

  const CoverageSetup coverageSetup = MakeCoverageSetup(s, false);
  PixelVariation variation = MakePixelVariation(s);
  DabScratch& scratch = brush::Scratch();
  const int32_t count = frame.Columns();
  for (int32_t y = frame.y0, j = frame.firstRow; y < frame.y1; ++y, ++j) {
    variation.StartRow();
    if (count == 0) continue;
    CoverageRow(coverageSetup, frame, j, y, scratch.coverage, scratch.samplePosition);
    uint16_t* mask = s.maskPlane + std::size_t(y) * s.canvasWidth + frame.x0;
    for (int32_t i = 0; i < count; ++i) {
      const uint32_t a = scratch.coverage[i];
      if (a == 0) continue;
      const int32_t position = scratch.samplePosition[i];
      const int32_t row = position / stride, column = position % stride;
      uint16_t& carried = blend[std::size_t(row) * 4 * stride + column];
      uint32_t value;
      if (!blending) {
        value = T;
        if (variation.colorVary > 0) value = Clamp16(int64_t{T} + variation.NextColorOffset());
        if (variation.lumVary > 0) value = ApplyLumFactor(int32_t(T), variation.NextLumFactor());
      } else {
        value = carried;
        if (variation.colorVary > 0) value = Clamp16(int64_t{value} + variation.NextColorOffset());
        if (variation.lumVary > 0)
          value = ApplyLumFactor(int32_t(value), variation.NextLumFactor());
        if (primaryStrength != 0)
          value = Clamp16((primaryInverse * value + primaryStrength * T) >> 8);
      }
      const uint32_t M = mask[i];
      if (remix) carried = Clamp16(((bi * M + bs * value) >> 8) + 1);
      mask[i] = uint16_t(((((65536 - a) * M) >> 8) + ((a * value) >> 8)) >> 8);
    }
  }
  t.blendOffOnce = 0;
}

}  // namespace brush
