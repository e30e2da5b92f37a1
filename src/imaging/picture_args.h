// Checks and wrappers for the picture arguments of the drawing and filtering functions.
#pragma once

#include <cstdint>
#include <opencv2/core.hpp>

namespace imaging {

// The largest picture side the drawing and filtering functions accept.
inline constexpr uint32_t kMaxDrawSide = 1u << 16;

// A picture of 1, 3 or 4 bytes a pixel whose rows hold their width.
inline bool IsDrawablePicture(const void* pixels, uint32_t width, uint32_t height,
                              uint32_t rowBytes, uint32_t bytesPerPixel) {
  return pixels && width > 0 && height > 0 && width <= kMaxDrawSide && height <= kMaxDrawSide &&
         (bytesPerPixel == 1 || bytesPerPixel == 3 || bytesPerPixel == 4) &&
         uint64_t{rowBytes} >= uint64_t{width} * bytesPerPixel;
}

// An OpenCV view of the caller's picture (no copy).
inline cv::Mat WrapPicture(const void* pixels, uint32_t width, uint32_t height,
                           uint32_t bytesPerPixel, uint32_t rowBytes) {
  return cv::Mat(static_cast<int>(height), static_cast<int>(width),
                 CV_8UC(static_cast<int>(bytesPerPixel)), const_cast<void*>(pixels), rowBytes);
}

}  // namespace imaging
