#include "imaging/dib_pictures.h"

#include <cstddef>
#include <cstring>

namespace imaging {
namespace {

struct DibGeometry {
  uint32_t width = 0, height = 0, bytesPerPixel = 0;
  std::size_t rowBytes = 0;
  bool bottomUp = true;
};

bool ReadGeometry(const void* dib, DibGeometry& g) {
  if (!dib) return false;
  const auto* bytes = static_cast<const uint8_t*>(dib);
  uint32_t size, compression;
  int32_t width, height;
  uint16_t planes, bitCount;
  std::memcpy(&size, bytes, 4);
  std::memcpy(&width, bytes + 4, 4);
  std::memcpy(&height, bytes + 8, 4);
  std::memcpy(&planes, bytes + 12, 2);
  std::memcpy(&bitCount, bytes + 14, 2);
  std::memcpy(&compression, bytes + 16, 4);
  if (size != 40 || width <= 0 || height == 0 || height == INT32_MIN || planes != 1 ||
      (bitCount != 24 && bitCount != 32) || compression != 0 || width > (1 << 24))
    return false;
  g.width = uint32_t(width);
  g.height = uint32_t(height < 0 ? -int64_t(height) : height);
  g.bytesPerPixel = bitCount / 8u;
  g.rowBytes = (std::size_t(g.width) * bitCount + 31) / 32 * 4;
  g.bottomUp = height > 0;
  return true;
}

}  // namespace

uint32_t IS3DIBWidth(const void* dib) {
  DibGeometry g;
  return ReadGeometry(dib, g) ? g.width : 0;
}

uint32_t IS3DIBHeight(const void* dib) {
  DibGeometry g;
  return ReadGeometry(dib, g) ? g.height : 0;
}

int32_t IS3DIBToRGBA(const void* dib, uint32_t alpha, uint8_t* out) {
  DibGeometry g;
  if (!out || !ReadGeometry(dib, g)) return 0;
  const uint8_t* bits = static_cast<const uint8_t*>(dib) + 40;
  for (uint32_t y = 0; y < g.height; ++y) {
    const uint8_t* s = bits + std::size_t(g.bottomUp ? g.height - 1 - y : y) * g.rowBytes;
    uint8_t* d = out + std::size_t(y) * g.width * 4;
    for (uint32_t x = 0; x < g.width; ++x, s += g.bytesPerPixel, d += 4)
      d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = uint8_t(alpha);
  }
  return 1;
}

}  // namespace imaging
