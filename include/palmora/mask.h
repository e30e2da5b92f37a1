/* palmora: the 16-bit mask plane (65535 lets changes through, 0 protects) and its makers.
 *
 * Images passed to the makers are canvas-sized and tightly packed (RGBA32 rows of canvas width x 4
 * bytes, RGB24 rows of canvas width x 3 bytes) unless a stride is passed. "Amount" makers write
 * ((255 - amount) mod 256) x 256 into the pixels they select (amount 0 gives 65280) and leave the
 * others as they were, so selections add up. Tolerances in percent become 8-bit distances as
 * trunc(percent x 2.56); range tests are inclusive. A null buffer, a missing canvas, or (for the
 * layer makers) a current layer without canvas-sized pixels is refused: nothing changes. */
#ifndef PALMORA_MASK_H
#define PALMORA_MASK_H

#include "palmora/export.h"

/* Display tints of the odd and even checker squares (8-bit channels) and the full-strength flag
 * (0: the tint covers at most half). */
PMR_API void PMR_SetMaskOptions(int32_t red1, int32_t green1, int32_t blue1, int32_t red2,
                                int32_t green2, int32_t blue2, int32_t fullStrength);

/* Fills the plane from a 16-bit grey (mean of the three): 255 or less opens everything, above
 * 65280 protects everything, otherwise 65280 - grey. */
PMR_API void PMR_ClearMask(int32_t red, int32_t green, int32_t blue);
PMR_API void PMR_InvertMask(void);
/* Writes the plane as a canvas-sized RGB24 image, protected areas white (255 - high byte). A stride
 * below canvas width x 3 is refused. */
PMR_API void PMR_SaveMask(void* buffer, int32_t stride);
/* Reads an RGB24 image of width x height into the top-left of the plane, clipped to the canvas:
 * grey 0 gives 65535, otherwise 65280 - 256 x grey. A stride too short for the rows read is
 * refused. */
PMR_API void PMR_LoadMask(const void* buffer, int32_t stride, int32_t width, int32_t height);

/* Between the plane and the current layer. */
PMR_API void PMR_CreateImageFromMask(void);
PMR_API void PMR_CreateAlphaFromMask(void);
PMR_API void PMR_CreateMaskFromAlpha(void);
PMR_API void PMR_CreateMaskFromImage(void);
PMR_API void PMR_CreateMaskFromImageLuma(void);

/* Makers from canvas-sized images: canvas width x height x 4 bytes for RGBA (RGBA32) images, x 3
 * for the RGB24 one. */
PMR_API void PMR_CreateMaskFromDiff_RGBA32(const void* imageA, const void* imageB, int32_t value);
PMR_API void PMR_CreateMaskFromRGBAImageColor(const void* image, int32_t red, int32_t green,
                                              int32_t blue, int32_t amount);
PMR_API void PMR_CreateMaskFromRGB24ImageColor(const void* image, int32_t red, int32_t green,
                                               int32_t blue, int32_t amount);
PMR_API void PMR_CreateMaskFromRGBAImageColorRange(const void* image, int32_t red, int32_t green,
                                                   int32_t blue, int32_t tolerancePercent,
                                                   int32_t amount);
PMR_API void PMR_CreateMaskFromRGBAImageAlphaRange(const void* image, int32_t alpha,
                                                   int32_t tolerancePercent, int32_t amount);
PMR_API void PMR_CreateMaskFromRGBAImageLuminanceRange(const void* image, int32_t red,
                                                       int32_t green, int32_t blue,
                                                       int32_t tolerancePercent, int32_t amount);
/* HSV hue within trunc(percent x 1.8) degrees of the key's, across the 0/360 wrap. */
PMR_API void PMR_CreateMaskFromRGBAImageHueRange(const void* image, int32_t red, int32_t green,
                                                 int32_t blue, int32_t tolerancePercent,
                                                 int32_t amount);
/* HSL: hue within hueTolerance x 180 degrees, saturation and lightness within their tolerances
 * (fractions of 1). */
PMR_API void PMR_CreateMaskFromRGBAImageHSLRange(const void* image, int32_t red, int32_t green,
                                                 int32_t blue, double hueTolerance,
                                                 double saturationTolerance,
                                                 double lightnessTolerance, int32_t amount);
/* Selects the pixels whose byte in the canvas-sized flood map (canvas width x height bytes) is
 * exactly 1. */
PMR_API void PMR_CreateMaskFromFloodMask(const void* floodMap, int32_t amount);

/* Scales the alpha of an RGBA32 buffer holding canvas columns x0..x1 and rows y0..y1 (inclusive;
 * its first pixel is canvas (x0, y0)) by the mask. Parts outside the canvas are left alone. */
PMR_API void PMR_ApplyMaskToAlphaRect_RGBA32(void* buffer, int32_t stride, int32_t x0, int32_t y0,
                                             int32_t x1, int32_t y1);
/* The whole canvas: a canvas-sized buffer (canvas width x height x 4 bytes). The rectangle form
 * needs (y1 - y0 + 1) rows of stride bytes, each holding x1 - x0 + 1 pixels. */
PMR_API void PMR_ApplyMaskToAlpha_RGBA32(void* buffer);
/* Pixels of a canvas-sized RGBA32 image whose alpha lies within the tolerance of alpha become
 * (red, green, blue, alpha2). The mask is not touched. */
PMR_API void PMR_ReplaceFromRGBAImageAlphaRange(void* image, int32_t alpha,
                                                int32_t tolerancePercent, int32_t red,
                                                int32_t green, int32_t blue, int32_t alpha2);

/* Channel helpers over tightly packed width x height images: the RGBA side of each holds
 * width x height x 4 bytes, the RGB side width x height x 3. */
PMR_API void PMR_RGBAlphaToRGB(void* destination, int32_t width, int32_t height,
                               const void* source);
PMR_API void PMR_RGBToRGBAlpha(void* destination, int32_t width, int32_t height,
                               const void* source);
PMR_API void PMR_RGBToRGBA(void* destination, int32_t width, int32_t height, const void* source);
PMR_API void PMR_RGBAToRGB(void* destination, int32_t width, int32_t height, const void* source);

#endif
