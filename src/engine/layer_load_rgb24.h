// Loading three-byte pictures into the current layer: colour, alpha, or a blue-green-red picture.
#pragma once

#include <cstdint>

namespace engine {

// Each works on the current layer over the whole canvas and returns 1, or 0 when refused: no
// current layer of the canvas size, a null source, or source rows shorter than a canvas row.

// The colour of a canvas-sized RGB24 picture; alpha is never written. With useMaskAndTexture set
// while the mask is enabled or a texture exists, each pixel is blended by its coverage.
int32_t LoadRGB24(const void* src, int32_t srcRowBytes, int32_t useMaskAndTexture);
// The first byte of each RGB24 pixel into alpha, on pixels whose alpha is not 0.
int32_t LoadRGB24ToAlpha(const void* src, int32_t srcRowBytes, int32_t useMaskAndTexture);
// A blue-green-red picture of width x height (clipped to the canvas) as opaque pixels.
int32_t Load(const void* src, int32_t srcRowBytes, int32_t width, int32_t height);

}  // namespace engine
