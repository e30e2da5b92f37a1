/* palmora: the import buffer ("NewRGBA"), one packed RGBA32 picture at its own size that file
 * reads leave for the host. It survives PMR_DeleteImage. */
#ifndef PALMORA_IMPORT_BUFFER_H
#define PALMORA_IMPORT_BUFFER_H

#include "palmora/export.h"

/* Reads a picture file of any size into the import buffer (metafiles rendered at the canvas size,
 * opaque). Returns 1 when this read filled it; 0 for a file that cannot be opened or decoded, which
 * leaves the buffer as it was. On memory failure: "ReadFromFile Excpt", 0. */
PMR_API int32_t PMR_ReadFromFile(const char* path);
/* The import picture's width and height; 0 when empty. */
PMR_API int32_t PMR_GetNewRGBAWidth(void);
PMR_API int32_t PMR_GetNewRGBAHeight(void);
/* Copies width x height x 4 bytes (rows of width x 4) into dst; nothing when empty or dst null. */
PMR_API void PMR_GetNewRGBA32(void* dst);
/* Packed RGB24 copy (alpha dropped) into dst; nothing when empty or dst null. */
PMR_API void PMR_GetNewRGBA24(void* dst);
/* The import picture resized to width x height (bicubic when any side involved is below 5
 * pixels, else filter 8) as packed RGB24 into dst. Nothing when empty, dst null or a size not
 * positive or too large. Failure: "GetResizedNewRGB24 Excpt". */
PMR_API void PMR_GetResizedNewRGBA24(void* dst, int32_t width, int32_t height);
/* 1 when any alpha byte of the import picture is not 255; 0 otherwise and when empty. */
PMR_API int32_t PMR_IsNewRGBA32Transparent(void);
/* Loads the import picture into the current layer at (0, 0) through the mask and the texture
 * (as much of it as the layer holds). 1 when loaded; 0 when empty or there is no current layer.
 * Failure: "SetInNewRGBA Excpt", 0. */
PMR_API int32_t PMR_SetInNewRGBA(void);
/* Releases the import picture. Returns 1 ("DeleteNewRGBA Excpt" and 0 if that fails). */
PMR_API int32_t PMR_DeleteNewRGBA(void);

#endif
