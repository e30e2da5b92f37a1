// Reading picture files into host buffers and writing host buffers as picture files.
#pragma once

#include <cstdint>

namespace io {

int32_t ReadFromFileRGB24(void* dst, int32_t width, int32_t height, const char* path);
int32_t ReadFromFileRGBA32(void* dst, int32_t width, int32_t height, const char* path);
int32_t WriteToFileRGB24(const void* src, int32_t width, int32_t height, const char* path,
                         const char* extension, int32_t dpi);
int32_t WriteToFileRGBA32(const void* src, int32_t width, int32_t height, const char* path,
                          const char* extension, int32_t dpi);
// A JPEG of the quality asked for (1..100), colour kept at full resolution.
int32_t WriteToFileJPG(const void* src, int32_t width, int32_t height, const char* path,
                       int32_t quality, int32_t dpi);

// The flattened canvas written one band of rows at a time: ".bmp", ".png" or ".jpg" as RGB24,
// ".png", ".tga" or ".tif" as RGBA32. 1 when the whole file was written; 0 for an unlisted
// extension, a null or empty path, no canvas, or a file that could not be written, which is
// then removed.
int32_t SavePageToFileRGB24(const char* path, const char* extension, int32_t dpi);
int32_t SavePageToFileRGB32(const char* path, const char* extension, int32_t dpi);

// The resolution of a picture file snapped to 72, 96, 150, 200, 300, 450 or 600 dots per inch.
int32_t GetDPIFromFile(const char* path);
// The snapping alone: values within one of a standard resolution become it, the rest 72.
int32_t SnapDPI(int32_t rawDpi);

int32_t MakeThumbnail(const char* sourcePath, const char* destPath, int32_t size);
int32_t MakeWebPic(const char* sourcePath, const char* destPath, int32_t maxWidth,
                   int32_t maxHeight);

}  // namespace io
