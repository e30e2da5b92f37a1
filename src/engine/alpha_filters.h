// Premultiplying colour by alpha around filters, and dividing it out again afterwards. Filters
// that mix neighbouring pixels must not let the colour of transparent pixels bleed in.
#pragma once

#include <cstdint>

namespace engine {

// Packed buffers of width x height pixels; a null pointer or a non-positive size does nothing.
void AdjustRGBA32PreFilter(uint8_t* pixels, int32_t width, int32_t height);
void AdjustRGBA32PostFilter(uint8_t* pixels, int32_t width, int32_t height);
void AdjustRGBA64PreFilter(uint16_t* pixels, int32_t width, int32_t height);
void AdjustRGBA64PostFilter(uint16_t* pixels, int32_t width, int32_t height);
// When flag is non-zero, divides colour by alpha (alpha 255 included) over a canvas-sized buffer.
void AdjustRGBA32ForAlphaComp(int32_t flag, uint8_t* pixels);

}  // namespace engine
