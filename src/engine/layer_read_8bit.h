// Whole layers read out at 8 bits a channel (the high byte of every sample).
#pragma once

#include <cstdint>

namespace engine {

// Each returns 1, or 0 when refused: no such layer (or no current layer), a layer not of the
// canvas size, a null buffer, or host rows shorter than a canvas row.
int32_t GetRGBA32Layer(void* dst, int32_t dstRowBytes, int32_t index);
int32_t GetRGBA32(void* dst, int32_t dstRowBytes);
int32_t GetRGB24Layer(void* dst, int32_t dstRowBytes, int32_t index);
int32_t GetRGB24(void* dst, int32_t dstRowBytes);
// The current layer's alpha as grey: red = green = blue = high byte of alpha.
int32_t GetRGB24FromAlpha(void* dst, int32_t dstRowBytes);

}  // namespace engine
