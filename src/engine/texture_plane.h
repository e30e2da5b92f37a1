// The brush texture: an 8-bit canvas-sized plane built from a layer in "Texturize3" mode.
#pragma once

#include <cstdint>

namespace engine {

// Builds the plane (allocating it on first use) from the layer: t = (c0 + c1 + c2) / 768, limited
// to 4..250. Returns the canvas width, or 0 when the layer has no pixels or memory fails
// ("CreateTexture Excpt").
int32_t CreateTexture(int32_t layerIndex);
void DeleteTexture();

}  // namespace engine
