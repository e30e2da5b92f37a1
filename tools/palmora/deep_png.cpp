#include "deep_png.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include "host_error.h"

namespace host {
namespace {

constexpr uint32_t kMaxSide = 65535;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void RaiseError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// libpng leaves by longjmp: everything that must be released lives in this record, made before
// the jump point and destroyed after it.
struct ReadState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~ReadState() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

struct WriteState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~WriteState() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

bool Decode(ReadState& s, std::FILE* file, DeepPicture& picture, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(s.png))) return false;
  png_init_io(s.png, file);
  png_set_user_limits(s.png, kMaxSide, kMaxSide);
  png_read_info(s.png, s.info);
  const uint32_t width = png_get_image_width(s.png, s.info);
  const uint32_t height = png_get_image_height(s.png, s.info);
  png_set_expand(s.png);
  png_set_expand_16(s.png);
  png_set_gray_to_rgb(s.png);
  png_set_add_alpha(s.png, 0xFFFF, PNG_FILLER_AFTER);
  png_set_swap(s.png);  // PNG stores big-endian samples; ours are native (little-endian)
  png_set_interlace_handling(s.png);
  png_read_update_info(s.png, s.info);
  if (png_get_rowbytes(s.png, s.info) != std::size_t{width} * 8) png_error(s.png, "row size");
  picture.width = int(width);
  picture.height = int(height);
  picture.rgba.assign(std::size_t{width} * height * 4, 0);
  rows.resize(height);
  for (uint32_t y = 0; y < height; ++y)
    rows[y] = reinterpret_cast<png_bytep>(&picture.rgba[std::size_t{y} * width * 4]);
  png_read_image(s.png, rows.data());
  png_read_end(s.png, nullptr);
  return true;
}

bool Encode(WriteState& s, std::FILE* file, const DeepPicture& picture, bool alpha,
            const std::vector<uint16_t>& samples, int dpi) {
  if (setjmp(png_jmpbuf(s.png))) return false;
  png_init_io(s.png, file);
  png_set_IHDR(s.png, s.info, uint32_t(picture.width), uint32_t(picture.height), 16,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Dots per inch as PNG's pixels per metre, rounded.
  const png_uint_32 perMetre = png_uint_32(dpi * 10000 / 254.0 + 0.5);
  png_set_pHYs(s.png, s.info, perMetre, perMetre, PNG_RESOLUTION_METER);
  png_write_info(s.png, s.info);
  png_set_swap(s.png);
  const std::size_t rowSamples = std::size_t(picture.width) * (alpha ? 4 : 3);
  for (int y = 0; y < picture.height; ++y)
    png_write_row(s.png, reinterpret_cast<png_const_bytep>(&samples[rowSamples * y]));
  png_write_end(s.png, nullptr);
  return true;
}

}  // namespace

bool IsDeepPng(const std::string& path) {
  // The signature, then the IHDR chunk: length, type, width, height, and the bit depth at byte 24.
  unsigned char head[25] = {};
  const File file(std::fopen(path.c_str(), "rb"));
  if (!file || std::fread(head, 1, sizeof head, file.get()) != sizeof head) return false;
  return png_sig_cmp(head, 0, 8) == 0 && head[24] == 16;
}

DeepPicture ReadDeepPng(const std::string& path) {
  const File file(std::fopen(path.c_str(), "rb"));
  if (!file) throw HostError("cannot read '" + path + "': no such file");
  ReadState s;
  s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, RaiseError, IgnoreWarning);
  if (s.png) s.info = png_create_info_struct(s.png);
  if (!s.info) throw std::bad_alloc();
  DeepPicture picture;
  std::vector<png_bytep> rows;
  if (!Decode(s, file.get(), picture, rows))
    throw HostError("cannot read '" + path + "': not a whole PNG file");
  return picture;
}

bool WriteDeepPng(const std::string& path, const DeepPicture& picture, int dpi) {
  bool alpha = false;
  for (std::size_t i = 3; i < picture.rgba.size() && !alpha; i += 4)
    alpha = picture.rgba[i] != 65535;
  std::vector<uint16_t> samples;
  if (alpha) {
    samples = picture.rgba;
  } else {
    samples.resize(picture.rgba.size() / 4 * 3);
    for (std::size_t i = 0, n = picture.rgba.size() / 4; i < n; ++i)
      std::copy_n(&picture.rgba[i * 4], 3, &samples[i * 3]);
  }
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  WriteState s;
  s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, RaiseError, IgnoreWarning);
  if (s.png) s.info = png_create_info_struct(s.png);
  if (!s.info) throw std::bad_alloc();
  if (!Encode(s, file.get(), picture, alpha, samples, dpi)) return false;
  return std::fclose(file.release()) == 0;  // the last bytes reach the disk only here
}

}  // namespace host
