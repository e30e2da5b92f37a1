#include <opencv2/core.hpp>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/geometry.h"
#include "imaging/picture_checks.h"

namespace imaging {
namespace {

template <size_t kBytes>
void MirrorRows(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t rowBytes) {
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = pixels + static_cast<size_t>(y) * rowBytes;
    for (uint32_t a = 0, b = width - 1; a < b; ++a, --b) {
      uint8_t held[kBytes];
      std::memcpy(held, row + a * kBytes, kBytes);
      std::memcpy(row + a * kBytes, row + b * kBytes, kBytes);
      std::memcpy(row + b * kBytes, held, kBytes);
    }
  }
}

}  // namespace

int32_t IS3QuickRotateImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                            void* dst, uint32_t dstRowBytes, uint32_t direction,
                            uint32_t bytesPerPixel) {
  if (!dst || !IsSupportedPixelSize(bytesPerPixel) || direction > kTurnLeft ||
      !IsUsablePicture(src, width, height, srcRowBytes, bytesPerPixel))
    return 0;
  const bool quarter = direction != kTurnHalf;
  const uint32_t outWidth = quarter ? height : width, outHeight = quarter ? width : height;
  if (uint64_t{dstRowBytes} < uint64_t{outWidth} * bytesPerPixel) return 0;
  try {
    const int type = OpenCvPixelType(bytesPerPixel);
    const cv::Mat in(static_cast<int>(height), static_cast<int>(width), type,
                     const_cast<void*>(src), srcRowBytes);
    cv::Mat out(static_cast<int>(outHeight), static_cast<int>(outWidth), type, dst, dstRowBytes);
    const int code = direction == kTurnRight  ? cv::ROTATE_90_CLOCKWISE
                     : direction == kTurnLeft ? cv::ROTATE_90_COUNTERCLOCKWISE
                                              : cv::ROTATE_180;
    cv::rotate(in, out, code);
    return out.data == dst ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

int32_t IS3HorizontalFlipImage(void* pixels, uint32_t width, uint32_t height,
                               uint32_t bytesPerPixel, uint32_t rowBytes) {
  if (!IsSupportedPixelSize(bytesPerPixel) && bytesPerPixel != 2) return 0;
  if (!IsUsablePicture(pixels, width, height, rowBytes, bytesPerPixel)) return 0;
  auto* p = static_cast<uint8_t*>(pixels);
  switch (bytesPerPixel) {
    case 1:
      MirrorRows<1>(p, width, height, rowBytes);
      break;
    case 2:
      MirrorRows<2>(p, width, height, rowBytes);
      break;
    case 3:
      MirrorRows<3>(p, width, height, rowBytes);
      break;
    case 4:
      MirrorRows<4>(p, width, height, rowBytes);
      break;
    default:
      MirrorRows<8>(p, width, height, rowBytes);
      break;
  }
  return 1;
}

int32_t IS3VerticalFlipImage(void* pixels, uint32_t rowBytes, uint32_t height) {
  if (!pixels || rowBytes == 0 || height == 0 || height > kMaxPictureSide) return 0;
  auto* p = static_cast<uint8_t*>(pixels);
  try {
    std::vector<uint8_t> held(rowBytes);
    for (uint32_t a = 0, b = height - 1; a < b; ++a, --b) {
      uint8_t* rowA = p + static_cast<size_t>(a) * rowBytes;
      uint8_t* rowB = p + static_cast<size_t>(b) * rowBytes;
      std::memcpy(held.data(), rowA, rowBytes);
      std::memcpy(rowA, rowB, rowBytes);
      std::memcpy(rowB, held.data(), rowBytes);
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
