/* palmora: the processing frame: the 8-bit processing buffers through which effects read the
 * current layer, the start and end of the image-processing library, alpha premultiplication
 * around filters, mask-and-texture weighting of results, and whole-stack flips. */
#ifndef PALMORA_PROCESSING_H
#define PALMORA_PROCESSING_H

#include "palmora/export.h"

/* Starts the image-processing library (the argument is ignored); PMR_IPLExit ends it. */
PMR_API void PMR_IPLInit(int32_t ignored);
PMR_API void PMR_IPLExit(void);

/* The four canvas-sized buffers: source and destination, RGBA32 (rows width x 4 bytes) and RGB24
 * (rows width x 3 bytes). Alloc frees the old buffer and allocates a new one; the source buffers
 * are filled from the current layer. On a memory failure the buffer stays absent and the last
 * error reads "IPLAllocSrcBuffer32 Excpt" (and so on). */
PMR_API void PMR_IPLAllocSrcBuffer32(void);
PMR_API void PMR_IPLAllocDstBuffer32(void);
PMR_API void PMR_IPLAllocSrcBuffer24(void);
PMR_API void PMR_IPLAllocDstBuffer24(void);
PMR_API void PMR_IPLFreeSrcBuffer32(void);
PMR_API void PMR_IPLFreeDstBuffer32(void);
PMR_API void PMR_IPLFreeSrcBuffer24(void);
PMR_API void PMR_IPLFreeDstBuffer24(void);
/* Refills an existing source buffer 32 from the current layer. */
PMR_API void PMR_IPLUpdateSrcBuffer32(void);
/* Copy canvas width x height x 4 bytes into the buffer when it exists (and still has the canvas
 * size). */
PMR_API void PMR_IPLSetSrcBuffer32(const void* pixels);
PMR_API void PMR_IPLSetDstBuffer32(const void* pixels);

/* With the mask in force, scales the alpha of the source buffer 32 by the mask (a mask value's
 * high byte 0 clears, 255 keeps, others scale by (hb + 1) / 256). Without the buffer, or with the
 * mask off, does nothing. */
PMR_API void PMR_ApplyMaskToAlpha_IPLSrcRGBA(void);

/* Premultiply colour by alpha before a filter and divide it out after (RGBA32: only for alpha
 * 1..254; RGBA64: every alpha but 0). Packed buffers of width x height pixels (x 4 bytes for
 * RGBA32, x 8 for RGBA64); null does nothing. */
PMR_API void PMR_AdjustRGBA32PreFilter(void* pixels, int32_t width, int32_t height);
PMR_API void PMR_AdjustRGBA32PostFilter(void* pixels, int32_t width, int32_t height);
PMR_API void PMR_AdjustRGBA64PreFilter(void* pixels, int32_t width, int32_t height);
PMR_API void PMR_AdjustRGBA64PostFilter(void* pixels, int32_t width, int32_t height);
/* With flag non-zero, divides colour by alpha (255 included) over a canvas-sized RGBA32 buffer
 * (canvas width x height x 4 bytes). */
PMR_API void PMR_AdjustRGBA32ForAlphaComp(int32_t flag, void* pixels);
/* Scales each alpha by the texture and mask weight of the same canvas position (buffer at canvas
 * (0, 0), or covering the canvas rectangle x, y, w, h): packed, width x height (w x h) x 4 bytes.
 * Pixels off the canvas are left alone. */
PMR_API void PMR_AdjustRGBA32ByMaskAndTexture(void* pixels, int32_t width, int32_t height);
PMR_API void PMR_AdjustRGBA32RectByMaskAndTexture(void* pixels, int32_t x, int32_t y, int32_t w,
                                                  int32_t h);

/* The older load: optionally weighs src's alpha by mask and texture (adjustArgument x adjustCount
 * pixels, when adjust's low byte is set), clears the current layer through the mask, then
 * composites the canvas-sized src onto layer index (Normal, opacity 255 of 256, its alpha lock).
 * src holds canvas width x height x 4 bytes, and when weighing at least adjustArgument x
 * adjustCount x 4. Failure: "LoadRGBA32Layer Excpt", steps already done stay done. */
PMR_API void PMR_LoadRGBA32Layer_BAD(void* src, int32_t reserved, int32_t index,
                                     int32_t adjustArgument, int32_t adjustCount, int32_t adjust);

/* Mirror every layer (1..top) through 8 bits a channel; the mask stays. */
PMR_API void PMR_IPLFlipHorizontal(void);
PMR_API void PMR_IPLFlipVertical(void);

#endif
