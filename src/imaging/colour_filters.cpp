#include "imaging/colour_filters.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/picture_args.h"

namespace imaging {

int32_t IS3SharpenImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t amount,
                        uint32_t channelMask) {
  if (!IsDrawablePicture(src, width, height, srcRowBytes, bytesPerPixel) ||
      !IsDrawablePicture(dst, width, height, dstRowBytes, bytesPerPixel))
    return 0;
  try {
    const cv::Mat in = WrapPicture(src, width, height, bytesPerPixel, srcRowBytes);
    cv::Mat out = WrapPicture(dst, width, height, bytesPerPixel, dstRowBytes);
    const uint32_t all = (1u << bytesPerPixel) - 1;
    if (amount == 0 || (channelMask & all) == 0) {
      if (in.data != out.data) in.copyTo(out);
      return 1;
    }
    const double k = std::min(amount, 100u) / 10.0;
    cv::Mat blurred, sharpened;
    cv::GaussianBlur(in, blurred, cv::Size(0, 0), 1.0, 1.0, cv::BORDER_REPLICATE);
    // src + k (src - blur) = (1 + k) src - k blur, rounded and saturated per sample.
    cv::addWeighted(in, 1 + k, blurred, -k, 0, sharpened);
    if ((channelMask & all) != all) {
      std::vector<cv::Mat> original, result;
      cv::split(in, original);
      cv::split(sharpened, result);
      for (uint32_t c = 0; c < bytesPerPixel; ++c)
        if (!(channelMask & (1u << c))) result[c] = original[c];
      cv::merge(result, sharpened);
    }
    sharpened.copyTo(out);
    return 1;
  } catch (...) {
    return 0;
  }
}

int32_t IS3ModifyImageSaturation(void* pixels, uint32_t width, uint32_t height,
                                 uint32_t bytesPerPixel, uint32_t rowBytes, double factor) {
  if (!IsDrawablePicture(pixels, width, height, rowBytes, bytesPerPixel) || bytesPerPixel < 3 ||
      !std::isfinite(factor))
    return 0;
  // Fixed point with 16 fraction bits; the factor is limited to where the result saturates anyway.
  const int64_t f = std::llround(std::clamp(factor, -256.0, 256.0) * 65536);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* p = static_cast<uint8_t*>(pixels) + std::size_t(y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x, p += bytesPerPixel) {
      const int64_t grey = 19595 * p[0] + 38470 * p[1] + 7471 * p[2];  // luma << 16
      for (int c = 0; c < 3; ++c) {
        const int64_t v = (grey + f * ((int64_t{p[c]} << 16) - grey) / 65536 + 32768) >> 16;
        p[c] = static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
      }
    }
  }
  return 1;
}

}  // namespace imaging
