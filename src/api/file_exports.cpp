// Exports: picture files.
#include "api/guard.h"
#include "io/picture_files.h"
#include "palmora/files.h"

PMR_API int32_t PMR_ReadFromFileRGB24(void* dst, int32_t width, int32_t height, const char* path) {
  return api::guard(0, "ReadFromFileRGB24 Excpt",
                    [&] { return io::ReadFromFileRGB24(dst, width, height, path); });
}
PMR_API int32_t PMR_ReadFromFileRGBA32(void* dst, int32_t width, int32_t height, const char* path) {
  return api::guard(0, "ReadFromFileRGBA32 Excpt",
                    [&] { return io::ReadFromFileRGBA32(dst, width, height, path); });
}
PMR_API int32_t PMR_WriteToFileRGB24(const void* src, int32_t width, int32_t height,
                                     const char* path, const char* extension, int32_t dpi) {
  return api::guard(0, "WriteToFileRGB24 Excpt",
                    [&] { return io::WriteToFileRGB24(src, width, height, path, extension, dpi); });
}
PMR_API int32_t PMR_WriteToFileRGBA32(const void* src, int32_t width, int32_t height,
                                      const char* path, const char* extension, int32_t dpi) {
  return api::guard(0, "WriteToFileRGBA32 Excpt", [&] {
    return io::WriteToFileRGBA32(src, width, height, path, extension, dpi);
  });
}
PMR_API int32_t PMR_WriteToFileJPG(const void* src, int32_t width, int32_t height, const char* path,
                                   int32_t quality, int32_t dpi) {
  return api::guard(0, "WriteToFileJPG Excpt",
                    [&] { return io::WriteToFileJPG(src, width, height, path, quality, dpi); });
}
PMR_API int32_t PMR_SavePageToFileRGB24(const char* path, const char* extension, int32_t dpi) {
  return api::guard(0, "PMR_SavePageToFileRGB24 Excpt",
                    [&] { return io::SavePageToFileRGB24(path, extension, dpi); });
}
PMR_API int32_t PMR_SavePageToFileRGB32(const char* path, const char* extension, int32_t dpi) {
  return api::guard(0, "PMR_SavePageToFileRGB32 Excpt",
                    [&] { return io::SavePageToFileRGB32(path, extension, dpi); });
}
PMR_API int32_t PMR_GetDPIFromFile(const char* path) {
  return api::guard(72, "GetDPIFromFile Excpt", [&] { return io::GetDPIFromFile(path); });
}
PMR_API int32_t PMR_MakeThumbnail(const char* sourcePath, const char* destPath, int32_t size) {
  return api::guard(0, "MakeThumbnails Excpt",
                    [&] { return io::MakeThumbnail(sourcePath, destPath, size); });
}
PMR_API int32_t PMR_MakeWebPic(const char* sourcePath, const char* destPath, int32_t maxWidth,
                               int32_t maxHeight) {
  return api::guard(0, "MakeWebPic Excpt",
                    [&] { return io::MakeWebPic(sourcePath, destPath, maxWidth, maxHeight); });
}
