// Mask shapes: an ellipse or a rectangle dragged out on the canvas, drawn into the mask.
#pragma once

#include <cstdint>

namespace mask {

// Draws the filled ellipse inside the box with corners (x0, y0) and (x1, y1) (radii at least 2), or
// the rectangle between them (right and bottom edges exclusive), into the mask at the percent
// amount; outside the shape every mask value loses its low byte.
void MaskEllipse(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t amount);
void MaskRectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t amount);

}  // namespace mask
