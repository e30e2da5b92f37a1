// Scaling a result's alpha by the texture and the mask, so that an effect shows only where the
// selection and the paper let it through.
#pragma once

#include <cstdint>

namespace engine {

// Weight of a texture byte: full from 128 up, otherwise 2t x 65535 >> 8 (127 gives 65023).
inline uint32_t TextureWeight(uint8_t t) { return t >= 128 ? 65535u : (2u * t * 65535u) >> 8; }

// The texture weight scaled by a mask sample: 65535 lets it through unchanged.
inline uint32_t MaskedWeight(uint32_t weight, uint16_t m) {
  return m < 65535 ? (weight * m) >> 16 : weight;
}

// Scales every alpha of a packed width x height buffer that lies on the canvas from (0, 0) by the
// weight of the same canvas position. Nothing happens when the mask is off and no texture is set.
// Pixels beyond the canvas (a buffer wider or taller than it) are left alone.
void AdjustRGBA32ByMaskAndTexture(uint8_t* pixels, int32_t width, int32_t height);
// The same for a buffer of w-pixel rows whose pixel (0, 0) lies at canvas (x, y).
void AdjustRGBA32RectByMaskAndTexture(uint8_t* pixels, int32_t x, int32_t y, int32_t w, int32_t h);

}  // namespace engine
