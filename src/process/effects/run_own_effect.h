// Running an own effect by name, on the processing buffers or on a caller's buffers.
#pragma once

#include <cstdint>

#include "process/effects/effect_context.h"

namespace process {

// Fills the engine's effect context from the canvas and the processing buffers 32 (source and
// destination), copies the source into the destination when the chain flag is clear, then runs
// the own effect of exactly that name. Returns false at once, changing nothing, unless both
// buffers exist; false also when the name matches no effect (nothing runs).
bool RunOwnEffect(const char* name, const OwnEffectArguments& arguments);

// The same on a caller's pictures: input and output of width x height RGBA32 pixels with rows of
// width x 4 bytes (they may be the same buffer). Refuses null buffers and empty or oversized
// pictures. Effects that reach beyond the picture (the current layer, the mask plane) leave those
// alone here.
bool RunOwnEffectOnBuffers(const char* name, uint8_t* input, uint8_t* output, int32_t width,
                           int32_t height, const OwnEffectArguments& arguments);

}  // namespace process
