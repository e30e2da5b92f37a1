#include <algorithm>
#include <cstring>

#include "imaging/geometry.h"
#include "imaging/picture_checks.h"

namespace imaging {

int32_t IS3CropImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                     void* dst, uint32_t dstRowBytes, const CropRect* rect,
                     uint32_t bytesPerPixel) {
  if (!rect || !dst || !IsSupportedPixelSize(bytesPerPixel) ||
      !IsUsablePicture(src, width, height, srcRowBytes, bytesPerPixel))
    return 0;
  const int64_t left = std::min(rect->left, rect->right), right = std::max(rect->left, rect->right);
  const int64_t top = std::min(rect->top, rect->bottom), bottom = std::max(rect->top, rect->bottom);
  if (left < 0 || top < 0 || right > width || bottom > height || left == right || top == bottom)
    return 0;
  const size_t rowBytes = static_cast<size_t>(right - left) * bytesPerPixel;
  if (dstRowBytes < rowBytes) return 0;
  const auto* in = static_cast<const uint8_t*>(src) + top * srcRowBytes + left * bytesPerPixel;
  auto* out = static_cast<uint8_t*>(dst);
  for (int64_t y = 0; y < bottom - top; ++y)
    std::memcpy(out + y * dstRowBytes, in + y * srcRowBytes, rowBytes);
  return 1;
}

}  // namespace imaging
