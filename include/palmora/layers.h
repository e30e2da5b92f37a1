/* palmora: the layer stack, the paint layer, the texture plane and whole-layer alpha operations. */
#ifndef PALMORA_LAYERS_H
#define PALMORA_LAYERS_H

#include "palmora/export.h"

/* Allocates (or empties) a layer slot: slot 1 becomes opaque white, every other slot transparent
 * black. Returns 1, or 0 for an index outside 0..63, a non-positive size, or memory that stays
 * short after the undo history is released ("CreateLayer Excpt"). */
PMR_API int32_t PMR_CreateLayer(int32_t index, int32_t width, int32_t height);
PMR_API void PMR_DeleteLayer(int32_t index);
/* Selects the current layer (a slot with pixels) and refreshes the undo back buffers from it. */
PMR_API void PMR_SetLayer(int32_t index);
PMR_API int32_t PMR_GetLayerNum(void);
/* Number of slots 0..63 that hold pixels. */
PMR_API int32_t PMR_GetLayerCount(void);
/* Sets visibility, transparency lock, opacity (percent; 100 gives 256) and the merge mode by name;
 * returns the mode number (an unknown name gives 0, "Normal"), or the texture result when a
 * visible layer that is not current becomes the "Texturize3" texture layer. A null name or a bad
 * index is refused: nothing changes and the result is 0. */
PMR_API int32_t PMR_SetLayerOptions(int32_t index, int32_t visible, int32_t alphaLock,
                                    int32_t opacityPercent, const char* modeName);
PMR_API void PMR_SwapLayers(int32_t indexA, int32_t indexB);

/* The canvas-sized paint layer that collects a stroke before it is merged. */
PMR_API int32_t PMR_CreatePaintLayer(int32_t opacityPercent, const char* modeName);
PMR_API void PMR_ClearPaintLayer(void);
PMR_API void PMR_ClearPaintLayer_old(void);
PMR_API void PMR_DeletePaintLayer(void);
/* Softens the paint layer's alpha; nearly opaque samples (high byte 240 and up) become opaque. */
PMR_API void PMR_BlurPaintLayerAlpha(void);

/* Builds the 8-bit texture plane from a layer (mean of the colour channels, limited to 4..250).
 * Returns the canvas width, or 0 on failure. */
PMR_API int32_t PMR_CreateTexture(int32_t layer);
PMR_API void PMR_DeleteTexture(void);

/* Alpha operations on a layer. */
PMR_API void PMR_InvertAlpha(int32_t index);
PMR_API void PMR_SetLayerAlpha(int32_t index, int32_t value);
PMR_API void PMR_NormalizeLayerAlpha(int32_t index);
PMR_API void PMR_SetColorAlpha(int32_t red, int32_t green, int32_t blue);
PMR_API void PMR_CreateBlobFromImage(int32_t index, int32_t mode);

/* Alpha operations on host RGBA32 buffers. The first two take a canvas-sized buffer (canvas width x
 * height x 4 bytes); the other two a packed width x height buffer (width x height x 4 bytes). */
PMR_API void PMR_InvertAlpha_RGBA32(void* buffer);
PMR_API void PMR_SetAlphaFromRGBAImageColor(void* buffer, int32_t red, int32_t green, int32_t blue);
PMR_API void PMR_SetColorAlphaRGBABuf(void* buffer, int32_t width, int32_t height, int32_t red,
                                      int32_t green, int32_t blue);
PMR_API void PMR_SetColorRGBABuf(void* buffer, int32_t width, int32_t height, int32_t red,
                                 int32_t green, int32_t blue);

#endif
