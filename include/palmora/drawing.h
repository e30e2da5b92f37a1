/* palmora: drawing into the current layer (filled rectangles, ellipses, colour gradients), the
 * push warp, and the blur of a host's RGB24 buffer. Shapes are drawn in 8 bits and composited
 * into the current layer in Normal mode through the mask, the texture and the layer's alpha lock.
 * Colours are 8-bit channels; opacities percents 0..100 (trunc(percent x 2.559) of 255). Without a
 * canvas-sized current layer nothing is drawn. */
#ifndef PALMORA_DRAWING_H
#define PALMORA_DRAWING_H

#include "palmora/export.h"

/* The shape spans columns x0..x1 - 1 when x0 < x1, else x1 + 1..x0, and the rows from the smaller
 * to the larger of y0 and y1. The ellipse fills that box (half-axes at least 2) with a smooth
 * edge. */
PMR_API void PMR_IPLRectangle(int32_t red, int32_t green, int32_t blue, int32_t x0, int32_t y0,
                              int32_t x1, int32_t y1, int32_t opacity);
PMR_API void PMR_IPLEllipse(int32_t red, int32_t green, int32_t blue, int32_t x0, int32_t y0,
                            int32_t x1, int32_t y1, int32_t opacity);
/* A gradient from (startX, startY) to (endX, endY): kind "Linear" (exactly) along the line, any
 * other kind radially around the start out to the end. colourCount 2..4 spreads that many colours
 * at k x trunc(100 / (count - 1)) percent, opaque; 0 fades colour 1 in from transparent at the
 * start, 1 fades it out. The gradient covers the whole layer. */
PMR_API void PMR_IPLGradient(int32_t red1, int32_t green1, int32_t blue1, int32_t red2,
                             int32_t green2, int32_t blue2, int32_t red3, int32_t green3,
                             int32_t blue3, int32_t red4, int32_t green4, int32_t blue4,
                             int32_t colourCount, int32_t startX, int32_t startY, int32_t endX,
                             int32_t endY, const char* kind);
/* Pushes the picture under (x0, y0) to (x1, y1) with a smooth falloff (reach twice the push, at
 * least 8 pixels). Reads the source buffer 32 as it stands (premultiplying it in place; refresh it
 * with PMR_IPLUpdateSrcBuffer32 between pushes), needs the destination buffer 32, and writes the
 * result into the current layer through the mask and the texture. */
PMR_API void PMR_WarpPointToPoint(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
/* Blurs width x height packed RGB24 pixels in place with radius radiusAmount / 5 (so up to 4 does
 * nothing), blended in by strength percent. */
PMR_API void PMR_BlurMoreBufferRGB24(void* buffer, int32_t width, int32_t height,
                                     int32_t radiusAmount, int32_t strength);

/* Text. The font is a 60-byte record laid out as the desktop platform's: height (negative: em
 * height in pixels, positive: cell height, 0: 16), width, escapement, orientation, weight (600 and
 * up bold), then bytes italic, underline, strike-out and five rendering hints (unused), then a
 * 32-byte NUL-terminated face name. PMR_ChooseFont has the font chosen, by the host's chooser when
 * one is installed, else by fontconfig's best match for the record's face name (any sans-serif
 * face for none); it returns non-zero when a font was chosen and 0 when the choice was cancelled.
 * A failing chooser records "Font Err: ..." and is asked once more from a cleared record. */
PMR_API int32_t PMR_ChooseFont(void);
/* The chooser is called with the record, flags (0x41: start from the record; 1: a cleared record)
 * and an error code to set when it fails (0 means cancelled). Null restores the default. */
typedef int32_t (*PMR_FontChooserCallback)(void* fontRecord, uint32_t flags, uint32_t* errorCode,
                                           void* user);
PMR_API void PMR_SetFontChooserCallback(PMR_FontChooserCallback callback, void* user);
/* Draws UTF-8 text (lines split at '\n') in the colour from (x, y) to the canvas's right and
 * bottom edges into the current layer, through the mask and the texture. Needs the source buffer
 * 32 (PMR_IPLAllocSrcBuffer32), which it refreshes from the current layer. smooth draws
 * anti-aliased; without it every pixel more than half covered takes the colour. The four reserved
 * values are ignored. */
PMR_API void PMR_IPLText(int32_t red, int32_t green, int32_t blue, int32_t x, int32_t y,
                         int32_t reserved1, int32_t reserved2, int32_t reserved3, int32_t reserved4,
                         const char* text, int32_t smooth);

#endif
