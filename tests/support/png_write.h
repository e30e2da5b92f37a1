// Writes test pictures as PNG files, so that what the generators, filters and views make can be
// looked at. Tests write them only when PALMORA_TEST_PNG_DIR names a folder.
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
  const char* dir = std::getenv("PALMORA_TEST_PNG_DIR");
  return dir ? dir : "";
}

enum class PngPixels { kRGBA, kBGR };

namespace png_detail {
struct Layout {
  bool rgba;
  size_t rowBytes;
};
// Kept apart from the defaulted arguments, which setjmp would otherwise put at risk.
inline bool Write(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
                  const Layout& layout) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8,
                 layout.rgba ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (!layout.rgba) png_set_bgr(png);
    for (uint32_t y = 0; y < height; ++y)
      png_write_row(png, const_cast<png_bytep>(pixels + size_t{y} * layout.rowBytes));
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return ok;
}
}  // namespace png_detail

// Writes width x height pixels (packed RGBA, red first, or blue-green-red triples), rows stride
// bytes apart (0: packed). Returns false when the file fails.
inline bool WritePng(const std::string& path, const uint8_t* pixels, uint32_t width,
                     uint32_t height, PngPixels format = PngPixels::kRGBA, size_t stride = 0) {
  const bool rgba = format == PngPixels::kRGBA;
  const png_detail::Layout layout{rgba, stride ? stride : size_t{width} * (rgba ? 4 : 3)};
  return png_detail::Write(path, pixels, width, height, layout);
}

}  // namespace palmora_test
