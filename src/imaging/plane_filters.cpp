#include "imaging/plane_filters.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace imaging {

int32_t IS3BlurImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                     uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t strength,
                     uint32_t flags) {
  if (!src || !dst || width == 0 || height == 0) return 0;
  if (bytesPerPixel != 1 && bytesPerPixel != 3 && bytesPerPixel != 4) return 0;
  if (width > INT32_MAX / 4 || height > INT32_MAX) return 0;
  if (uint64_t{srcRowBytes} < uint64_t{width} * bytesPerPixel ||
      uint64_t{dstRowBytes} < uint64_t{width} * bytesPerPixel) {
    return 0;
  }
  try {
    const int type = CV_8UC(static_cast<int>(bytesPerPixel));
    const cv::Mat in(static_cast<int>(height), static_cast<int>(width), type,
                     const_cast<void*>(src), srcRowBytes);
    cv::Mat out(static_cast<int>(height), static_cast<int>(width), type, dst, dstRowBytes);
    if (strength == 0) {
      if (in.data != out.data) in.copyTo(out);
      return 1;
    }
    const double sigma = strength / 100.0;
    const int border = (flags & 1) ? cv::BORDER_REPLICATE : cv::BORDER_REFLECT_101;
    // Blur into a temporary so that an in-place call and a failure both leave dst consistent.
    cv::Mat blurred;
    cv::GaussianBlur(in, blurred, cv::Size(0, 0), sigma, sigma, border);
    blurred.copyTo(out);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
