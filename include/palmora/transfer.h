/* palmora: pixel transfer between layers and host buffers. */
#ifndef PALMORA_TRANSFER_H
#define PALMORA_TRANSFER_H

#include "palmora/export.h"

/* Copies the whole layer (canvas width x height RGBA64 pixels) into dst, rows dstRowBytes apart.
 * Returns 1, or 0 when refused (no such layer, null buffer, rows shorter than a layer row). */
PMR_API int32_t PMR_GetRGBA64Layer(void* dst, int32_t dstRowBytes, int32_t index);
/* Copies a whole layer from src, rows srcRowBytes apart. Returns 0 when the layer has no pixels. */
PMR_API int32_t PMR_SetRGBA64Layer(const void* src, int32_t srcRowBytes, int32_t index);

#endif
