// The older load of an RGBA32 picture into a layer, kept beside its successor for hosts that call
// it.
#pragma once

#include <cstdint>

namespace process {

// Optionally weighs src's alpha by mask and texture (over adjustWidth x adjustHeight pixels, when
// the low byte of adjust is set), clears the current layer through the mask, then composites the
// canvas-sized src over layer index with Normal at opacity 255 of 256 and the layer's alpha lock.
// Nothing happens for a null src or a layer without canvas-sized pixels.
void LoadRGBA32Layer_BAD(uint8_t* src, int32_t index, int32_t adjustWidth, int32_t adjustHeight,
                         int32_t adjust);

}  // namespace process
