// Transfers in the engine's own format, RGBA64: whole layers, rectangles, and plane copies.
#pragma once

#include <cstdint>

namespace engine {

// Whole layer (canvas width x height) to and from host rows rowBytes apart. 1, or 0 when refused.
int32_t GetRGBA64Layer(void* dst, int32_t dstRowBytes, int32_t index);
int32_t SetRGBA64Layer(const void* src, int32_t srcRowBytes, int32_t index);
// The part of the rectangle inside the canvas, into dst whose first row and column stand for
// (x, y). 1, or 0 when refused or nothing lies inside.
int32_t GetRGBA64LayerRect(void* dst, int32_t dstRowBytes, int32_t index, int32_t x, int32_t y,
                           int32_t width, int32_t height);
// The whole plane byte for byte (canvas width x height x 8 bytes).
int32_t GetLayerData(void* dst, int32_t index);
int32_t SetLayerData(const void* src, int32_t index);
int32_t CopyLayerData(int32_t srcIndex, int32_t dstIndex);

}  // namespace engine
