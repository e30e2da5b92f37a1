/* palmora: image brushes. An image brush paints a small picture instead of a flat colour: the
 * host loads a picture, has it sized to the brush (and turned), and copies it into the blend
 * buffer, from which colour dabs take their source colour (with the image brush mode the
 * picture's alpha also shapes the dab). The engine keeps the pictures until they are replaced. */
#ifndef PALMORA_IMAGE_BRUSH_H
#define PALMORA_IMAGE_BRUSH_H

#include "palmora/export.h"

/* Pictures larger than the canvas's maxBrushSize on either side, or that cannot be read, leave the
 * image brush as it was. */
PMR_API void PMR_LoadImageBrush(const char* fileName);
/* The same from packed RGBA32 pixels: width x height x 4 bytes. */
PMR_API void PMR_LoadImageBrushFromRGBA32(const void* pixels, int32_t width, int32_t height);
/* A strip of square frames side by side (frame count = width / height, height at most
 * maxBrushSize); the image brush becomes its first frame. */
PMR_API void PMR_LoadImageBrushArray(const char* fileName);
/* Frame trunc(frame count x position) of the strip becomes the image brush; positions run from 0
 * up to 1 (outside: the first or the last frame). */
PMR_API void PMR_CopyFromImageBrushArray(float position);
/* A brushSize square of the colour (8-bit channels), opaque. */
PMR_API void PMR_FillImageBrush(int32_t red, int32_t green, int32_t blue);
/* Every pixel takes the colour and keeps its alpha; without an image brush, a white opaque
 * brushSize square is made first. */
PMR_API void PMR_ColorImageBrush(int32_t red, int32_t green, int32_t blue);
/* The blend buffer's brushSize square becomes the image brush. */
PMR_API void PMR_CopyToImageBrush(void);
/* The image brush resampled to brushSize x brushSize (area average when shrinking, Lanczos3
 * otherwise; a picture of that size is copied). */
PMR_API void PMR_SizeImageBrush(void);
/* The sized picture turned by angle degrees, kept for PMR_CopyFromImageBrushRotate. */
PMR_API void PMR_RotateImageBrush(int32_t angle);
/* Sizes the image brush, then loads it into the blend buffer: with k = trunc(strength x 2.559)
 * (strength 0..100), each sample becomes the picture's when k = 0, else
 * (k x blend + (255 - k) x picture) >> 8. */
PMR_API void PMR_CopyFromImageBrush(int32_t strength);
/* Loads the turned picture (8-bit samples r) into the blend buffer: r x 256 when k = 0, else
 * ((k x blend) >> 8) + (255 - k) x r. Nothing when the sized picture changed since the turn. */
PMR_API void PMR_CopyFromImageBrushRotate(int32_t strength);
/* Writes the image brush as an 8-bit RGBA PNG file at 72 dots per inch. */
PMR_API void PMR_SaveImageBrush(const char* fileName);

#endif
