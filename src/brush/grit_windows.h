// The twenty grit windows that give a dab its broken, grainy texture: built from the random pools
// (cells of random values) or cut from a grey picture (a texture).
#pragma once

#include <cstdint>

namespace brush {

// Builds every grit buffer from the random pools with cells of side gritSize. Does nothing
// without a canvas, without the pools, or for a grit size below 1.
void BuildGritWindowsFromPools();

// Fills every grit buffer with a window cut at a random place from a grey picture (row stride =
// width). A picture too small for a window in some direction gives what it holds there.
void CutGritWindowsFromPicture(const uint8_t* grey, int32_t width, int32_t height);

}  // namespace brush
