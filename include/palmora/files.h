/* palmora: picture files. Extensions include the dot (".png") and are compared without regard to
 * case. Files that cannot be opened, read or decoded are reported only through the result. */
#ifndef PALMORA_FILES_H
#define PALMORA_FILES_H

#include "palmora/export.h"

/* Reads a picture file into dst as packed RGB24 (RGBA32) when the file is exactly width x height;
 * returns 1, else 0 with dst untouched. Metafiles are rendered at the canvas size. */
PMR_API int32_t PMR_ReadFromFileRGB24(void* dst, int32_t width, int32_t height, const char* path);
PMR_API int32_t PMR_ReadFromFileRGBA32(void* dst, int32_t width, int32_t height, const char* path);

/* Writes packed RGB24 pixels as ".bmp", ".png", ".jpg" (quality 97), ".gif" (256 colours,
 * dithered), ".pcx", ".psd", ".emf" or ".wmf" (both an enhanced metafile), storing dpi where the
 * format can. Returns the writer's result; 0 for any other extension (no file is made) or a
 * refused argument. On memory failure: "WriteToFileRGB24 Excpt". */
PMR_API int32_t PMR_WriteToFileRGB24(const void* src, int32_t width, int32_t height,
                                     const char* path, const char* extension, int32_t dpi);
/* Writes packed RGBA32 pixels as ".png", ".tga" or ".tif"; as PMR_WriteToFileRGB24 otherwise. */
PMR_API int32_t PMR_WriteToFileRGBA32(const void* src, int32_t width, int32_t height,
                                      const char* path, const char* extension, int32_t dpi);
/* Extra export: writes packed RGB24 pixels as a JPEG of the given quality (1..100) with
 * full-resolution colour (which later JPEG writes keep), storing dpi. Returns 1 when the whole file
 * was written; 0 for a quality outside 1..100 or another refused argument (no file is made). On
 * memory failure: "WriteToFileJPG Excpt". */
PMR_API int32_t PMR_WriteToFileJPG(const void* src, int32_t width, int32_t height, const char* path,
                                   int32_t quality, int32_t dpi);

/* Saves the flattened canvas (as PMR_Merge makes it) one band of rows at a time, never holding
 * the whole picture: RGB24 as ".bmp", ".png" or ".jpg" (quality 97, full-resolution colour, which
 * later JPEG writes keep), RGBA32 as ".png", ".tga" or ".tif". Returns
 * 1 when the whole file was written; 0 for any other extension, a null or empty path, no canvas,
 * or a file that could not be written, in which case no file is left behind. On memory failure:
 * "PMR_SavePageToFileRGB24 Excpt" ("PMR_SavePageToFileRGB32 Excpt"), nothing written. */
PMR_API int32_t PMR_SavePageToFileRGB24(const char* path, const char* extension, int32_t dpi);
PMR_API int32_t PMR_SavePageToFileRGB32(const char* path, const char* extension, int32_t dpi);

/* The resolution stored in a BMP, JPEG, PNG, TIFF or PSD file, snapped to 96, 150, 200, 300, 450
 * or 600 when within one of it; 72 for every other value, other formats and unreadable files. */
PMR_API int32_t PMR_GetDPIFromFile(const char* path);

/* Writes a 24-bit BMP whose longer side is size pixels (aspect kept, fully transparent pixels
 * white). Returns 0. On memory failure: "MakeThumbnails Excpt". */
PMR_API int32_t PMR_MakeThumbnail(const char* sourcePath, const char* destPath, int32_t size);
/* Writes a JPEG (quality 75) of the picture shrunk to fit maxWidth x maxHeight; never enlarged.
 * Returns 0. On memory failure: "MakeWebPic Excpt". */
PMR_API int32_t PMR_MakeWebPic(const char* sourcePath, const char* destPath, int32_t maxWidth,
                               int32_t maxHeight);

#endif
