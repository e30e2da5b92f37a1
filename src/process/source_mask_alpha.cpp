#include "process/source_mask_alpha.h"

#include "engine/engine_state.h"
#include "mask/mask_alpha.h"
#include "engine/processing_buffers.h"

namespace process {

void ApplyMaskToAlpha_IPLSrcRGBA() {
  uint8_t* source = engine::UsableSrcBuffer32();
  if (!source || !engine::State().maskEnabled) return;
  mask::ApplyMaskToAlpha_RGBA32(source);
}

}  // namespace process
