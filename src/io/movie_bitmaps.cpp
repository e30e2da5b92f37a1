#include "io/movie_bitmaps.h"

#include <cstdlib>
#include <cstring>

#include "engine/parallel_rows.h"
#include "imaging/file_handles.h"
#include "imaging/picture_readers.h"

namespace io {

std::unique_ptr<platform::Bitmap> LoadBitmapFile(const char* path) {
  if (!path) return nullptr;
  imaging::ISSource source = imaging::IS3OpenFileSource(path);
  if (!source) return nullptr;
  uint32_t width = 0, height = 0, depth = 0;
  uint8_t* rgba = nullptr;
  if (imaging::IS3GuessFileType(source) == imaging::kFileTypeBMP &&
      imaging::IS3GetBMPDims(source, &width, &height, &depth, nullptr) &&
      imaging::IS40_Seek(source, 0, 0))
    rgba = imaging::IS3ReadImageToRGBA(source, &width, &height, 0);
  imaging::IS3CloseSource(source);
  if (!rgba) return nullptr;
  std::unique_ptr<uint8_t, decltype(&std::free)> owned(rgba, &std::free);
  if (width > INT32_MAX || height > INT32_MAX) return nullptr;
  if (depth != 24 && depth != 32) {
    auto plain = std::make_unique<platform::Bitmap>();
    plain->header.width = int32_t(width);
    plain->header.height = int32_t(height);
    plain->header.bitCount = uint16_t(depth);
    return plain;
  }
  auto dib = platform::CreateDibSection(int32_t(width), int32_t(height), uint16_t(depth));
  if (!dib) return nullptr;
  const std::size_t row = platform::DibRowBytes(width, depth), bytes = depth / 8;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* s = rgba + std::size_t(y) * width * 4;
    uint8_t* d = dib->bits.get() + std::size_t(height - 1 - y) * row;
    for (uint32_t x = 0; x < width; ++x, s += 4, d += bytes) {
      d[0] = s[2], d[1] = s[1], d[2] = s[0];
      if (bytes == 4) d[3] = s[3];
    }
  }
  return dib;
}

std::unique_ptr<platform::Bitmap> RGBToDibSection(const void* pixels, int32_t width,
                                                  int32_t height) {
  if (!pixels || width <= 0 || height <= 0) return nullptr;
  auto dib = platform::CreateDibSection(width, height, 24);
  if (!dib) return nullptr;
  const std::size_t row = platform::DibRowBytes(width, 24), packed = std::size_t(width) * 3;
  const uint8_t* src = static_cast<const uint8_t*>(pixels);
  uint8_t* bits = dib->bits.get();
  // Rows swap red and blue and turn upside down; each row is independent.
  engine::ForRowBands(height, packed * 2, [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      const uint8_t* s = src + std::size_t(y) * packed;
      uint8_t* d = bits + std::size_t(height - 1 - y) * row;
      for (std::size_t i = 0; i < packed; i += 3)
        d[i] = s[i + 2], d[i + 1] = s[i + 1], d[i + 2] = s[i];
    }
  });
  return dib;
}

}  // namespace io
