// The paint layer: a canvas-sized scratch layer that collects a stroke before it is merged.
#pragma once

#include <cstdint>

namespace engine {

int32_t CreatePaintLayer(int32_t opacityPercent, const char* modeName);
void ClearPaintLayer();
void ClearPaintLayer_old();
void DeletePaintLayer();
void BlurPaintLayerAlpha();
// Makes the paint layer's changed rectangle empty (left = canvas width, top = canvas height).
void EmptyPaintLayerRect();

}  // namespace engine
