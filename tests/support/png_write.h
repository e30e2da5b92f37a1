// Writes RGBA pictures as PNG files, so that what the generators and filters make can be looked
// at. Tests call it only when PALMORA_PICTURE_DIR names a folder.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace palmora_test {

// Folder for pictures, or empty when the environment does not ask for them.
inline std::string PictureDir() {
  const char* dir = std::getenv("PALMORA_PICTURE_DIR");
  return dir ? dir : "";
}

// Writes width x height packed RGBA pixels (red first). Returns false when the file fails.
inline bool WritePng(const std::string& path, const uint8_t* rgba, uint32_t width, uint32_t height) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < height; ++y)
      png_write_row(png, const_cast<png_bytep>(rgba + size_t{y} * width * 4));
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return ok;
}

}  // namespace palmora_test
