/* palmora: the blend buffer, the paint a brush carries along a stroke. Every export here does
 * nothing while the blend strength is 0. x, y is the centre of the brush square on the canvas;
 * amount is 0..256 (values outside are taken as the nearer end). Sources: Surface is the current
 * layer, Layer a layer by index, UnderLayer and History the undo back buffer, Trace layer 0. */
#ifndef PALMORA_BLEND_BUFFER_H
#define PALMORA_BLEND_BUFFER_H

#include "palmora/export.h"

/* Loads the blend buffer from a canvas-sized RGBA64 plane; amount is the brush colour's share.
 * With opaqueEdge the part of the square outside the canvas loads opaque. A null plane is refused.
 */
PMR_API void PMR_DoCopyBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount,
                                   int32_t opaqueEdge);
PMR_API void PMR_CopyBlendBufferSurface(int32_t x, int32_t y, int32_t amount, int32_t opaqueEdge);
PMR_API void PMR_CopyBlendBufferLayer(int32_t layer, int32_t x, int32_t y, int32_t amount);
PMR_API void PMR_CopyBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount);
PMR_API void PMR_CopyBlendBufferHistory(int32_t x, int32_t y, int32_t amount);
PMR_API void PMR_CopyBlendBufferTrace(int32_t x, int32_t y, int32_t amount);
/* Loads the mask under the square into the buffer's layout for mask dabs. */
PMR_API void PMR_DoCopyBlendBufferMask(int32_t x, int32_t y, int32_t amount);

/* Mixes a canvas-sized RGBA64 plane into the carried paint through the current mix rule; amount
 * is the canvas's share. */
PMR_API void PMR_DoMixBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount);
PMR_API void PMR_MixBlendBufferSurface(int32_t x, int32_t y, int32_t amount);
PMR_API void PMR_MixBlendBufferLayer(int32_t layer, int32_t x, int32_t y, int32_t amount);
PMR_API void PMR_MixBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount);
PMR_API void PMR_MixBlendBufferHistory(int32_t x, int32_t y, int32_t amount);
PMR_API void PMR_MixBlendBufferTrace(int32_t x, int32_t y, int32_t amount);

/* Tints the carried paint toward a colour of 0..255 channels; unused is ignored. */
PMR_API void PMR_DoColorBlendBuffer(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue,
                                    int32_t unused, int32_t amount);
/* Sets the first maxBrushSize^2 16-bit values of the buffer to 0, or to high x 256 + low. */
PMR_API void PMR_ClearBlendBuffer(void);
PMR_API void PMR_FillBlendBuffer(int32_t unused1, int32_t unused2, int32_t high, int32_t low);
/* Filters the used square's colour: 289 grey, 290 invert, 291 channels below level% to black,
 * 292 channels above level% to white (65280); other kinds do nothing. */
PMR_API void PMR_FilterBlendBuffer(int32_t kind, int32_t level);

#endif
