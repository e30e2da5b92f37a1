// The 64 layer slots: creating, selecting, naming and reordering layers.
#pragma once

#include <cstdint>

#include "engine/layer_record.h"

namespace engine {

// The slot's record, or null for an index outside 0..63.
LayerRecord* LayerSlot(int32_t index);
// The slot's record when the index is valid and the slot holds pixels, else null.
LayerRecord* LayerWithPixels(int32_t index);
// True when the layer holds pixels of exactly the canvas size: the planes that follow the canvas
// (back buffers, mask, texture) can be read against it pixel for pixel.
bool IsCanvasSized(const LayerRecord* layer);

int32_t CreateLayer(int32_t index, int32_t width, int32_t height);
void DeleteLayer(int32_t index);
void SetLayer(int32_t index);
int32_t GetLayerCount();
int32_t SetLayerOptions(int32_t index, int32_t visible, int32_t alphaLock, int32_t opacityPercent,
                        const char* modeName);
void SwapLayers(int32_t indexA, int32_t indexB);

// Opacity from a percentage limited to 0..100: percent x 2.56, truncated (100 gives 256).
uint16_t OpacityFromPercent(int32_t percent);
// Copies name into a record's name when shorter than 50 characters; otherwise leaves it empty.
void StoreLayerName(LayerRecord& layer, const char* name);

}  // namespace engine
