// Filling the current layer, through the mask or not, and filling host buffers with one colour.
#pragma once

#include <cstdint>

namespace engine {

// Colour arguments are bytes (their low 8 bits are used) unless named ...16. Each returns 1, or 0
// when refused (no current layer, a null buffer, rows too short).

// Every pixel of the current layer = (red, green, blue, alpha) x 256.
int32_t Clear(int32_t red, int32_t green, int32_t blue, int32_t alpha);
// Clear weighed by the mask sample M: 65535 fills, 0 leaves, anything between mixes the colour
// by M / 65536 and makes the pixel opaque. Without the mask enabled it is Clear.
int32_t ClearMasked(int32_t red, int32_t green, int32_t blue, int32_t alpha);
// Without the mask enabled, Clear; with it, a load of the colour through the mask and the
// texture, with the alpha rules of the masked load.
int32_t ClearMaskedAlpha(int32_t red, int32_t green, int32_t blue, int32_t alpha);

// Canvas-sized host buffers, rows dstRowBytes apart.
int32_t ClearRGBA64(void* dst, int32_t dstRowBytes, int32_t red16, int32_t green16, int32_t blue16,
                    int32_t alpha16);
int32_t ClearRGBA32(void* dst, int32_t dstRowBytes, int32_t red, int32_t green, int32_t blue,
                    int32_t alpha);
// A packed width x height RGBA32 buffer.
int32_t ClearRGBA32Buf(void* dst, int32_t width, int32_t height, int32_t red, int32_t green,
                       int32_t blue, int32_t alpha);

}  // namespace engine
