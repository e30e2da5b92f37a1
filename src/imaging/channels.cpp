#include "imaging/channels.h"

#include <cstddef>

#include "imaging/picture_checks.h"

namespace imaging {

int32_t IS3ImageToGrayScale8Bit(const void* src, uint32_t width, uint32_t height,
                                uint32_t srcRowBytes, uint32_t bytesPerPixel, void* dst,
                                uint32_t dstRowBytes) {
  if ((bytesPerPixel != 3 && bytesPerPixel != 4) ||
      !IsUsablePicture(src, width, height, srcRowBytes, bytesPerPixel) ||
      !IsUsablePicture(dst, width, height, dstRowBytes, 1))
    return 0;
  if (src == dst && dstRowBytes > srcRowBytes) return 0;
  const auto* in = static_cast<const uint8_t*>(src);
  auto* out = static_cast<uint8_t*>(dst);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* p = in + static_cast<size_t>(y) * srcRowBytes;
    uint8_t* g = out + static_cast<size_t>(y) * dstRowBytes;
    for (uint32_t x = 0; x < width; ++x, p += bytesPerPixel)
      g[x] = static_cast<uint8_t>((77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8);
  }
  return 1;
}

int32_t IS3RGBAToBGRA(void* pixels, uint32_t width, uint32_t height, uint32_t rowBytes) {
  return IS40_ReorderChannels(pixels, width, height, rowBytes, 2, 1, 0, 3);
}

int32_t IS3SplitImage(const void* src, uint32_t width, uint32_t height, uint32_t rowBytes,
                      uint32_t bytesPerPixel, void* plane0, void* plane1, void* plane2,
                      void* plane3, uint32_t planeRowBytes) {
  if ((bytesPerPixel != 3 && bytesPerPixel != 4) ||
      !IsUsablePicture(src, width, height, rowBytes, bytesPerPixel) || planeRowBytes < width)
    return 0;
  uint8_t* planes[4] = {static_cast<uint8_t*>(plane0), static_cast<uint8_t*>(plane1),
                        static_cast<uint8_t*>(plane2),
                        bytesPerPixel == 4 ? static_cast<uint8_t*>(plane3) : nullptr};
  const auto* in = static_cast<const uint8_t*>(src);
  for (uint32_t c = 0; c < 4; ++c) {
    if (!planes[c]) continue;
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* p = in + static_cast<size_t>(y) * rowBytes + c;
      uint8_t* out = planes[c] + static_cast<size_t>(y) * planeRowBytes;
      for (uint32_t x = 0; x < width; ++x) out[x] = p[static_cast<size_t>(x) * bytesPerPixel];
    }
  }
  return 1;
}

int32_t IS3CombineImageChannels(void* dst, uint32_t width, uint32_t height, uint32_t rowBytes,
                                uint32_t bytesPerPixel, const void* plane0, const void* plane1,
                                const void* plane2, const void* plane3, uint32_t planeRowBytes) {
  if ((bytesPerPixel != 3 && bytesPerPixel != 4) ||
      !IsUsablePicture(dst, width, height, rowBytes, bytesPerPixel) || planeRowBytes < width)
    return 0;
  const uint8_t* planes[4] = {static_cast<const uint8_t*>(plane0),
                              static_cast<const uint8_t*>(plane1),
                              static_cast<const uint8_t*>(plane2),
                              bytesPerPixel == 4 ? static_cast<const uint8_t*>(plane3) : nullptr};
  auto* out = static_cast<uint8_t*>(dst);
  for (uint32_t c = 0; c < 4; ++c) {
    if (!planes[c]) continue;
    for (uint32_t y = 0; y < height; ++y) {
      uint8_t* p = out + static_cast<size_t>(y) * rowBytes + c;
      const uint8_t* in = planes[c] + static_cast<size_t>(y) * planeRowBytes;
      for (uint32_t x = 0; x < width; ++x) p[static_cast<size_t>(x) * bytesPerPixel] = in[x];
    }
  }
  return 1;
}

int32_t IS40_ReorderChannels(void* pixels, uint32_t width, uint32_t height, uint32_t rowBytes,
                             uint32_t order0, uint32_t order1, uint32_t order2, uint32_t order3) {
  if (!IsUsablePicture(pixels, width, height, rowBytes, 4) || order0 > 3 || order1 > 3 ||
      order2 > 3 || order3 > 3)
    return 0;
  auto* out = static_cast<uint8_t*>(pixels);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* p = out + static_cast<size_t>(y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x, p += 4) {
      const uint8_t held[4] = {p[0], p[1], p[2], p[3]};
      p[0] = held[order0];
      p[1] = held[order1];
      p[2] = held[order2];
      p[3] = held[order3];
    }
  }
  return 1;
}

}  // namespace imaging
