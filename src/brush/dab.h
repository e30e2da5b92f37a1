// Dabs: one stamp of the brush shape into the paint target (the paint layer when it exists,
// otherwise the current layer), or into the mask plane.
#pragma once

#include <cstdint>

namespace brush {

// One colour dab centred on canvas pixel (x, y). The colour arguments are 16-bit values whose
// low 8 bits are dropped; the result becomes the brush colour. Does nothing before a canvas and
// a paint target exist.
void DrawDabGrit(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue);
// One mask dab centred on (x, y) with the brush colour: black opens the mask, white closes it.
void DrawDabGritMask(int32_t x, int32_t y);

}  // namespace brush
