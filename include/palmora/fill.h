/* palmora: the paint bucket, the magic wand and the mask shapes.
 *
 * Tolerances are in units of 1/500 percent (0..50000 for 0..100 %; outside taken as the nearer
 * end). Regions are grown from the clicked pixel over pixels whose colour lies within the
 * tolerance (squared colour distance against 3 x 255^2) and that share an edge with the region.
 * Amounts are percents (0..100): amount a selects with mask value
 * ((255 - trunc(a x 2.559)) mod 256) x 256, so 100 protects fully and 0 opens fully. Colours
 * are 8-bit channels. The fill and the wand work on the current layer in 8 bits: a fill writes
 * the whole layer back through the mask and the texture, so it also drops each channel's low
 * byte. A point outside the canvas, a mode name that is not one of those listed (names compare
 * exactly, case included) or a missing canvas changes nothing. */
#ifndef PALMORA_FILL_H
#define PALMORA_FILL_H

#include "palmora/export.h"

/* Modes: "Paint Non-connected" (every pixel near the clicked colour takes the colour; pixels keep
 * their alpha), "Erase Non-connected" (they become transparent; on the background layer 1 they
 * take the colour, the paper), "Paint Connected" (the connected region takes the colour, opaque),
 * "Erase Connected" (the connected region becomes transparent, or on layer 1 takes the colour),
 * "Paint Alpha Connected" (the connected region of similar alpha takes the colour, opaque; not on
 * layer 1), "Paint Alpha Non-Connected" (every pixel whose alpha lies within tolerance / 500
 * percent of the clicked alpha, as the range makers measure it, takes the colour, opaque). */
PMR_API void PMR_IPLFloodFill(int32_t red, int32_t green, int32_t blue, int32_t x, int32_t y,
                              int32_t tolerance, const char* mode);
/* Adds to the mask. Modes: "Non-connected", "Connected" (the clicked colour, everywhere or
 * connected), "Alpha Connected" (not on layer 1), "Alpha Non-connected", and the range makers
 * "Color Range", "Luminance Range", "Hue Range" and "HSL Range" with the clicked colour as key
 * (tolerance / 500 percent; HSL with the fraction tolerance x 0.00002 for all three). */
PMR_API void PMR_IPLMaskWand(int32_t x, int32_t y, int32_t tolerance, int32_t amount,
                             const char* mode);
/* The filled ellipse inside the box with corners (x0, y0) and (x1, y1), any order, radii at least
 * 2; and the rectangle from the smaller to the larger corner (the larger column and row
 * excluded). Inside the shape the mask becomes 65280 - 256 x trunc(amount x 2.559) (65535 for
 * amount 0); outside it every mask value loses its low byte, and values of 65280 and above become
 * 65535. */
PMR_API void PMR_IPLMaskEllipse(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t amount);
PMR_API void PMR_IPLMaskRectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t amount);

/* Sets every pixel of a canvas-sized RGBA32 image whose byte in the canvas-sized region map is
 * exactly 1 to (red, green, blue, alpha). */
PMR_API void PMR_ColorRGBA32FromFloodMask(void* image, const void* map, int32_t red, int32_t green,
                                          int32_t blue, int32_t alpha);

#endif
