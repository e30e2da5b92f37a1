// The paint colour a vignette can take instead of its own.
#pragma once

namespace process {

// The current paint colour (set with PMR_SetColor) as three fractions: the high byte of each
// 16-bit channel / 255.
void CurrentPaintColour(double colour[3]);

}  // namespace process
