// Drawing the view: the canvas at the current zoom into a host BGR buffer.
#pragma once

#include <cstdint>

namespace render {

// Returns 0 without drawing when no current layer with pixels is selected or target is null,
// else 1. Draws nothing for an empty clipped rectangle, an empty view size, a zoom that selects no
// path (a replication factor below 1 where it replicates, a step that is not a positive number
// where it samples) or a stride shorter than the rows drawn.
int32_t Render(uint8_t* target, int32_t targetStride, int32_t x, int32_t y, int32_t width,
               int32_t height);

}  // namespace render
