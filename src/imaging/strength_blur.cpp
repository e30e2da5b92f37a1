// The blur with a strength: a Gaussian blur of a given radius blended over the picture.
#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "imaging/picture_args.h"
#include "imaging/plane_filters.h"

namespace imaging {

int32_t ISE3BlurImage(const void* src, uint32_t width, uint32_t height, void* dst,
                      uint32_t bytesPerPixel, uint32_t srcRowBytes, uint32_t dstRowBytes,
                      uint32_t radius, double strength, uint32_t channels) {
  if (!IsDrawablePicture(src, width, height, srcRowBytes, bytesPerPixel) ||
      !IsDrawablePicture(dst, width, height, dstRowBytes, bytesPerPixel) || src == dst ||
      radius > kMaxDrawSide || !std::isfinite(strength))
    return 0;
  try {
    const cv::Mat source = WrapPicture(src, width, height, bytesPerPixel, srcRowBytes);
    cv::Mat target = WrapPicture(dst, width, height, bytesPerPixel, dstRowBytes);
    const double share = std::clamp(strength, 0.0, 1.0);
    if (radius == 0 || share == 0.0) {
      source.copyTo(target);
      return 1;
    }
    const int side = int(std::min<uint64_t>(2ull * radius + 1, 2ull * std::max(width, height) + 1));
    cv::Mat blurred;
    cv::GaussianBlur(source, blurred, cv::Size(side, side), 0, 0, cv::BORDER_REPLICATE);
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* s = source.ptr<uint8_t>(int(y));
      const uint8_t* b = blurred.ptr<uint8_t>(int(y));
      uint8_t* d = target.ptr<uint8_t>(int(y));
      for (uint32_t i = 0; i < width * bytesPerPixel; ++i) {
        const bool chosen = (channels >> (i % bytesPerPixel)) & 1;
        d[i] = chosen ? uint8_t(std::lround(s[i] + (b[i] - s[i]) * share)) : s[i];
      }
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
