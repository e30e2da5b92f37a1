// The blend buffer: the paint a brush carries. It is loaded from a canvas plane at the start of a
// stroke (copy), refreshed from what lies under the brush (mix) and tinted toward a colour. Pixel
// (row, column) belongs to shape pixel (row, column); a dab square whose top-left canvas corner is
// (x0, y0) meets it at canvas pixel (x0 + column, y0 + row). Every operation here does nothing
// while blendStrength is 0, without a canvas, or for a plane of the wrong size.
#pragma once

#include <cstdint>

namespace brush {

// Copies the canvas plane under the dab square centred on (x, y) into the blend buffer, amount
// (0..256) being the share of the brush colour. With opaqueEdge the part of the square outside
// the canvas loads as opaque.
void DoCopyBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount,
                       int32_t opaqueEdge);
void CopyBlendBufferSurface(int32_t x, int32_t y, int32_t amount, int32_t opaqueEdge);
void CopyBlendBufferLayer(int32_t layer, int32_t x, int32_t y, int32_t amount);
void CopyBlendBufferHistory(int32_t x, int32_t y, int32_t amount);
void CopyBlendBufferTrace(int32_t x, int32_t y, int32_t amount);
// Copies the mask plane into the blend buffer's 16-bit layout of the mask dab.
void DoCopyBlendBufferMask(int32_t x, int32_t y, int32_t amount);

// Mixes the canvas plane into the blend buffer with the current mix rule; amount (0..256) is the
// canvas's share.
void DoMixBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount);
void MixBlendBufferSurface(int32_t x, int32_t y, int32_t amount);
void MixBlendBufferLayer(int32_t layer, int32_t x, int32_t y, int32_t amount);
void MixBlendBufferHistory(int32_t x, int32_t y, int32_t amount);
void MixBlendBufferTrace(int32_t x, int32_t y, int32_t amount);

// Tints the blend pixels that meet the canvas toward the colour (0..255 a channel).
void DoColorBlendBuffer(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue,
                        int32_t amount);

// The first maxBrushSize^2 16-bit values of the buffer: zero, or high x 256 + low.
void ClearBlendBuffer();
void FillBlendBuffer(int32_t high, int32_t low);
// Grey (289), invert (290), threshold to black (291) or to white (292) over the used square.
void FilterBlendBuffer(int32_t kind, int32_t level);

}  // namespace brush
