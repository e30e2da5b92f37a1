// Loading RGBA32 pictures into layers, plainly or through the mask and the texture.
#pragma once

#include <cstdint>

#include "engine/layer_record.h"

namespace engine {

// Loads the width x height picture at src into the layer with its top-left pixel at (x, y),
// clipped to the layer (a negative x or y skips source columns or rows). With useMaskAndTexture
// set while the mask is enabled or a texture exists, every pixel is weighed by its coverage;
// otherwise a source pixel of alpha 0 clears the layer pixel and any other replaces it (the colour
// only, on an alpha-locked layer). Returns 1, or 0 when refused: no such layer, a null source,
// source rows shorter than width pixels.
int32_t LoadRGBA32Layer(const void* src, int32_t srcRowBytes, int32_t index, int32_t x, int32_t y,
                        int32_t width, int32_t height, int32_t useMaskAndTexture);
// LoadRGBA32Layer into the current layer at (0, 0) with the layer's own width and height.
int32_t LoadRGBA32(const void* src, int32_t srcRowBytes, int32_t useMaskAndTexture);
// LoadRGBA32Layer through the mask and the texture.
int32_t LoadRGBA32Into(const void* src, int32_t srcRowBytes, int32_t index, int32_t x, int32_t y,
                       int32_t width, int32_t height);

// The load itself, for callers that have validated their source. srcRowBytes may be 0: every row
// then reads the same source row (a fill of one colour needs only one row of it).
void LoadRGBA32IntoLayer(LayerRecord& layer, const uint8_t* src, int64_t srcRowBytes, int32_t x,
                         int32_t y, int32_t width, int32_t height, bool useMaskAndTexture);

}  // namespace engine
