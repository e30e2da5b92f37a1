#include "process/effects/vignette_colour.h"

#include "engine/engine_state.h"
#include "process/effects/effect_context.h"

namespace process {

void CurrentPaintColour(double colour[3]) {
  const uint16_t* brush = engine::State().brushColor;
  for (int c = 0; c < 3; ++c) colour[c] = (brush[c] >> 8) * kInv255;
}

}  // namespace process
