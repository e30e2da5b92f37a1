// Moving the current layer's picture by whole pixels.
#pragma once

#include <cstdint>

namespace process {

// Moves the source buffer 32 by (dx, dy) into the destination buffer 32 and lays the result over
// the current layer. Edge mode 0 leaves transparency where the picture moved away; 1 wraps, 2
// stretches the border, 3 mirrors (the fill colour is used where the library leaves gaps). With
// the low byte of maskAndTexture set, the moved picture's alpha is weighed by mask and texture
// first. Needs both 32-bit buffers of the canvas size; does not refresh the source buffer.
void IPLPan(int32_t dx, int32_t dy, int32_t edgeMode, int32_t red, int32_t green, int32_t blue,
            int32_t alpha, int32_t maskAndTexture);

}  // namespace process
