// Argument checks shared by the library's picture functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <opencv2/core/hal/interface.h>

namespace imaging {

// The largest side the library accepts; larger requests are refused before anything is allocated.
inline constexpr uint32_t kMaxPictureSide = 1u << 16;

inline bool IsSupportedPixelSize(uint32_t bytesPerPixel) {
  return bytesPerPixel == 1 || bytesPerPixel == 3 || bytesPerPixel == 4 || bytesPerPixel == 8;
}

// The OpenCV element type of a supported pixel size (8 bytes: four 16-bit channels).
inline int OpenCvPixelType(uint32_t bytesPerPixel) {
  switch (bytesPerPixel) {
    case 1:
      return CV_8UC1;
    case 3:
      return CV_8UC3;
    case 4:
      return CV_8UC4;
    default:
      return CV_16UC4;
  }
}

// A picture argument is usable when the pointer is set, both sides are 1..kMaxPictureSide and a
// row of rowBytes holds width pixels.
inline bool IsUsablePicture(const void* pixels, uint32_t width, uint32_t height, uint32_t rowBytes,
                            uint32_t bytesPerPixel) {
  return pixels && width > 0 && height > 0 && width <= kMaxPictureSide &&
         height <= kMaxPictureSide && uint64_t{rowBytes} >= uint64_t{width} * bytesPerPixel;
}

}  // namespace imaging
