#include "png16_reference.h"

#include <png.h>

#include <cstdio>

namespace host_test {

void WritePng16(const std::string& path, const Png16& picture) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, picture.width, picture.height, 16, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(std::size_t(picture.width) * 8);
  for (int y = 0; y < picture.height; ++y) {
    for (int i = 0; i < picture.width * 4; ++i) {  // PNG samples are big-endian
      const uint16_t v = picture.samples[std::size_t(y) * picture.width * 4 + i];
      row[i * 2] = uint8_t(v >> 8);
      row[i * 2 + 1] = uint8_t(v & 0xFF);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

Png16 ReadPng16(const std::string& path) {
  Png16 out;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return out;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return Png16{};
  }
  png_init_io(png, file);
  png_read_info(png, info);
  const int width = int(png_get_image_width(png, info)),
            height = int(png_get_image_height(png, info));
  const int depth = png_get_bit_depth(png, info), channels = png_get_channels(png, info);
  std::vector<uint8_t> row(png_get_rowbytes(png, info));
  std::vector<uint16_t> samples(std::size_t(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    png_read_row(png, row.data(), nullptr);
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 4; ++c) {
        const std::size_t at = std::size_t(x) * channels + c;
        uint16_t v = 65535;
        if (c < channels) v = depth == 16 ? uint16_t(row[at * 2] << 8 | row[at * 2 + 1]) : row[at];
        samples[(std::size_t(y) * width + x) * 4 + c] = v;
      }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return {width, height, depth, channels, std::move(samples)};
}

}  // namespace host_test
