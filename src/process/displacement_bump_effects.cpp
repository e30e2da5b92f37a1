#include "process/displacement_bump_effects.h"

#include "engine/engine_state.h"
#include "process/alpha_filters.h"
#include "process/displacement_bump.h"
#include "process/processing_buffers.h"

namespace process {

void DisplacementBumpBody(const EffectCall& call) {
  uint8_t* source = UsableSrcBuffer32();
  if (!source) return;
  UpdateSrcBuffer32();
  const engine::EngineState& s = engine::State();
  AdjustRGBA32PreFilter(source, s.canvasWidth, s.canvasHeight);
  // The displacement reports its own failures under its own name, as its export does.
  try {
    DisplacementBump(call.text, call.Percent(1), call.Colour());
  } catch (...) {
    engine::SetLastError("IPLDisplacementBump Excpt");
  }
}

}  // namespace process
