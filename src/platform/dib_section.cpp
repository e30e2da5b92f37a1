#include "platform/dib_section.h"

#include <cstring>

namespace platform {

std::unique_ptr<Bitmap> CreateDibSection(int32_t width, int32_t height, uint16_t bitCount) {
  if (height <= 0 || (bitCount != 24 && bitCount != 32)) return nullptr;
  const std::size_t row = DibRowBytes(width, bitCount);
  if (row == 0 || uint64_t(row) * uint64_t(height) > 0xFFFFFFFFu) return nullptr;
  auto bitmap = std::make_unique<Bitmap>();
  bitmap->dibSection = true;
  bitmap->header.width = width;
  bitmap->header.height = height;
  bitmap->header.bitCount = bitCount;
  bitmap->header.sizeImage = uint32_t(row * std::size_t(height));
  bitmap->bits.reset(new uint8_t[bitmap->header.sizeImage]);
  std::memset(bitmap->bits.get(), 0, bitmap->header.sizeImage);
  return bitmap;
}

}  // namespace platform
