// Support code (the file name joins it to the test program).
#include "support/png_snapshot.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace palmora_test {

void SnapshotBGR(const std::string& name, const uint8_t* bgr, int32_t width, int32_t height,
                 int32_t stride) {
  const char* dir = std::getenv("PALMORA_TEST_PNG_DIR");
  if (!dir || width <= 0 || height <= 0) return;
  const std::string path = std::string(dir) + "/" + name + ".png";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (png && info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int32_t y = 0; y < height; ++y)
      png_write_row(png, const_cast<png_bytep>(bgr + std::size_t(y) * stride));
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

}  // namespace palmora_test
