// Text on the current layer, in the font the host chose.
#pragma once

#include <cstdint>

namespace process {

// Lets the host choose the text font; returns the chooser's result. A failed choice records its
// message ("Font Err: ...") and is tried once more from a cleared font record.
int32_t ChooseFont();

// Draws the UTF-8 text in the colour (8-bit channels) from (x, y) to the canvas's right and bottom
// edges, through the source buffer 32 (refreshed from the current layer; nothing without it) and
// back into the current layer through the mask and the texture. smooth draws anti-aliased.
void DrawText(int32_t red, int32_t green, int32_t blue, int32_t x, int32_t y, const char* text,
              int32_t smooth);

}  // namespace process
