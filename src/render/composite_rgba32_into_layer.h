// Compositing an 8-bit picture into a layer with a merge mode: how effects and pastes that work
// at 8 bits reach the 16-bit layers.
#pragma once

#include <cstdint>

namespace render {

// Converts the canvas-sized packed RGBA32 picture src to a temporary RGBA64 plane and composites
// it over the whole canvas into layerPixels (a canvas-sized RGBA64 plane, canvasStride samples a
// row) with the merge mode, clip flag, opacity (0..256) and alpha lock, without a clip plane.
// When the temporary plane cannot be allocated, or a pointer is null, nothing happens and the
// result is false.
bool CompositeRGBA32IntoLayer(const uint8_t* src, uint16_t* layerPixels, int32_t mode,
                              int32_t clipFlag, int32_t opacity, uint8_t alphaLock);

}  // namespace render
