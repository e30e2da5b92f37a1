// Device-independent bitmaps as the desktop platform kept them: a 40-byte header followed by rows
// of pixels, blue first, each row padded to four bytes, the bottom row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

struct BitmapInfoHeader {
  uint32_t size = 40;
  int32_t width = 0;
  int32_t height = 0;  // positive: bottom-up rows
  uint16_t planes = 1;
  uint16_t bitCount = 0;
  uint32_t compression = 0;  // 0: uncompressed RGB
  uint32_t sizeImage = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint32_t clrUsed = 0;
  uint32_t clrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// Bytes of one padded row; 0 when the width or depth is out of range.
inline std::size_t DibRowBytes(int64_t width, uint32_t bitCount) {
  if (width <= 0 || width > (int64_t(1) << 26) || bitCount == 0 || bitCount > 32) return 0;
  return std::size_t((width * bitCount + 31) / 32 * 4);
}

// A bitmap handle. Loading gives a DIB section for 24- and 32-bit pictures; other depths load as a
// plain bitmap, which the movie writer refuses like the desktop's did.
struct Bitmap {
  bool dibSection = false;
  BitmapInfoHeader header;
  std::unique_ptr<uint8_t[]> bits;  // header.sizeImage bytes
};

// A bottom-up DIB section of width x height at 24 or 32 bits, its pixels zeroed. Null for a size
// that does not fit 32-bit image sizes; throws std::bad_alloc when memory runs out.
std::unique_ptr<Bitmap> CreateDibSection(int32_t width, int32_t height, uint16_t bitCount);

}  // namespace platform
