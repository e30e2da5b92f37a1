#include "process/effects/mask_detail.h"

#include <cstdlib>

#include "engine/engine_state.h"

namespace process {

void MaskDetail(EffectContext& context) {
  const engine::EngineState& state = engine::State();
  uint16_t* mask = state.maskPlane;
  // The mask has the canvas's geometry; only a context that lies on the canvas may mark it.
  if (!mask || !context.onCanvas || context.width > state.canvasWidth ||
      context.height > state.canvasHeight)
    return;
  const int32_t t = Trunc(context.slider1 * 255);
  const uint16_t marked =
      static_cast<uint16_t>(std::clamp(Trunc((1 - context.slider2) * 65535), 0, 65535));
  for (int32_t y = 1; y < context.lastRow; ++y) {
    const uint8_t* above = context.ReadRow(y - 1);
    const uint8_t* here = context.ReadRow(y);
    const uint8_t* below = context.ReadRow(y + 1);
    uint16_t* maskRow = mask + std::ptrdiff_t(y) * state.canvasWidth;
    for (int32_t x = 1; x < context.lastColumn; ++x) {
      const std::ptrdiff_t m = std::ptrdiff_t(x) * 4;
      bool detail = false;
      for (int c = 0; c < 3 && !detail; ++c) {
        const int32_t v = here[m + c];
        const bool horizontal =
            std::abs(v - here[m - 4 + c]) > t && std::abs(v - here[m + 4 + c]) > t;
        const bool vertical = std::abs(v - above[m + c]) > t && std::abs(v - below[m + c]) > t;
        detail = horizontal || vertical;
      }
      if (detail) maskRow[x] = marked;
    }
  }
}

}  // namespace process
