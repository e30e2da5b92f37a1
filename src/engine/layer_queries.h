// Questions about a layer's content as a whole.
#pragma once

#include <cstdint>

namespace engine {

// The inclusive bounding box of the layer's pixels with non-zero alpha. The box starts at
// left = canvas width, top = canvas height, right = bottom = 0, so a fully transparent layer
// reports left > right. Returns 1, or 0 without writing anything for a layer without pixels (or
// not of the canvas size) or a null output.
int32_t FindDataExtentsLayer(int32_t index, int32_t* left, int32_t* top, int32_t* right,
                             int32_t* bottom);
// 1 when every pixel equals the first in all four channels; 0 when not or without pixels.
int32_t IsSingleColor(int32_t index);

}  // namespace engine
