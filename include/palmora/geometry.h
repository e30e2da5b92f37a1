/* palmora: canvas geometry: resizing, seam carving, page size, crop and quarter turns of the whole
 * layer stack, and the pan of the current layer. The stack operations rebuild layers 1..top at
 * the new size through 8 bits a channel; the canvas size, the mask, the undo history and the
 * processing buffers are left for the host to follow. Sizes that cannot be layer sizes (zero,
 * negative, too large) and rectangles outside the canvas are refused without effect; a layer
 * whose rebuild fails keeps its old pixels. */
#ifndef PALMORA_GEOMETRY_H
#define PALMORA_GEOMETRY_H

#include "palmora/export.h"

/* Resamples every layer with a filter by name: "Area Average", "Nearest Neighbor", "Bilinear",
 * "Bicubic", "Box", "Triangle", "Hamming", "Gaussian", "Bell", "B-Spline", "Cubic 1", "Cubic 2",
 * "Lanczos3", "Mitchell", "Sinc", "Hermite", "Hanning", "Catrom"; other text means "Lanczos3".
 * A null name is refused. Failure: "IPLResize Excpt". */
PMR_API void PMR_IPLResize(int32_t newWidth, int32_t newHeight, const char* filterName);
/* Carves the width to newWidth (content-aware; the mask, when enabled, protects what it masks out)
 * and makes the layers newWidth x newHeight. Failure: "IPLResize Excpt". */
PMR_API void PMR_IPLSeamCarvingRGBA(int32_t newWidth, int32_t newHeight, int32_t ignored);
/* Changes the page size with the old picture placed by anchor "TL", "TC", "TR", "ML", "MC", "MR",
 * "BL", "BC" or "BR" (a centred odd difference puts the extra pixel right or below). Layer 1 gets
 * the opaque background colour where the old picture does not reach. Another anchor is refused.
 * Failure: "IPLResizePage Excpt". */
PMR_API void PMR_IPLResizePage(int32_t newWidth, int32_t newHeight, const char* anchor, int32_t red,
                               int32_t green, int32_t blue);
/* Keeps columns left..right-1 and rows top..bottom-1. Failure: "IPLCrop Excpt". */
PMR_API void PMR_IPLCrop(int32_t left, int32_t top, int32_t right, int32_t bottom);
/* Quarter turns, anticlockwise and clockwise. */
PMR_API void PMR_IPLRotateLeft(void);
PMR_API void PMR_IPLRotateRight(void);
/* Moves the source buffer 32 by (dx, dy) and lays it over the current layer; edge mode 0 leaves
 * the layer showing where the picture moved away, 1 wraps, 2 repeats the border, 3 mirrors. The
 * low byte of maskAndTexture weighs the moved picture by mask and texture. Needs both 32-bit
 * processing buffers. Failure: "IPLPan Excpt". */
PMR_API void PMR_IPLPan(int32_t dx, int32_t dy, int32_t edgeMode, int32_t red, int32_t green,
                        int32_t blue, int32_t alpha, int32_t maskAndTexture);

#endif
