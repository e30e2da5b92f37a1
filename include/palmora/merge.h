/* palmora: merging layers with their merge modes and flattening the visible canvas. */
#ifndef PALMORA_MERGE_H
#define PALMORA_MERGE_H

#include "palmora/export.h"

/*
 * Host buffers for a canvas rectangle (x, y, width, height) hold width x height RGBA64 pixels
 * (four uint16_t each), rows width x 4 samples (width x 8 bytes) apart: canvas pixel (x + i, y + j)
 * is buffer pixel j x width + i. A rectangle that reaches beyond the canvas keeps this layout;
 * only its pixels that lie on the canvas are composited, the others are left as they are (the
 * flattening clears them to transparent black). A side of 0 or less writes nothing.
 *
 * The merges refuse, changing nothing: layer indices outside 0..63, layers without pixels or
 * whose size differs from the canvas, and null buffers. A "Layer Mask" layer whose size differs
 * from the canvas is not applied.
 */

/* Composites the source layer over the destination layer (whole canvas) with the source's mode,
 * opacity and "Layer Mask"; two layers of the same alpha mode merge by replacement. */
PMR_API void PMR_MergeLayer(int32_t sourceLayer, int32_t destinationLayer);
/* Composites a rectangle of a layer over the host buffer that holds that rectangle. */
PMR_API void PMR_MergeLayerIntoRect(int32_t layer, void* buffer, int32_t x, int32_t y,
                                    int32_t width, int32_t height);
/* PMR_MergeLayerIntoRect over the whole canvas (a canvas-sized buffer). */
PMR_API void PMR_MergeLayerInto(int32_t layer, void* buffer);
/* Flattens a rectangle of the visible canvas into the host buffer: transparent black, the
 * background layer (slot 1) copied when its visible flag is 1, then the visible layers 2..63 in
 * order. Layer 0 and the paint layer are not included. */
PMR_API void PMR_MergeRect(void* buffer, int32_t x, int32_t y, int32_t width, int32_t height);
/* PMR_MergeRect over the whole canvas (a canvas-sized buffer). */
PMR_API void PMR_Merge(void* buffer);
/* The flattened colour at (x, y), packed alpha << 24 | red << 16 | green << 8 | blue (high
 * bytes); 0xFFFFFF outside the canvas; 0 when memory fails ("PMR_GetColorAtMerged Excpt"). */
PMR_API uint32_t PMR_GetColorAtMerged(int32_t x, int32_t y);
/* Sets the alpha that the alpha modes give to the pixels they select: percent (limited to
 * 0..100) x 0.01 x 65535, truncated. Returns the new value. */
PMR_API int32_t PMR_SetAlphaLayerOpacity(int32_t percent);
/* Composites the paint layer's changed rectangle into the destination layer with the paint
 * layer's mode and opacity, keeping the destination alpha when the current layer is alpha
 * locked, then clears the paint layer. Refused (the paint layer kept) without a canvas-sized paint
 * layer or destination. */
PMR_API void PMR_MergePaintLayer(int32_t destinationLayer);

#endif
