#include "imaging/gaussian_blur.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/picture_args.h"

namespace imaging {

namespace {

// Wide Gaussians leave nothing finer than a few pixels, so from kBoxRadius up the blur is taken
// on the picture shrunk by block averages (blocks of a quarter sigma at most, at least four
// samples a sigma left) and the result enlarged back bilinearly: the cost no longer grows with
// the radius, and the small picture's blur is the exact kernel.
void Blur(const cv::Mat& in, cv::Mat& out, double sigma) {
  const int block = int(sigma / 4);
  if (sigma < kBoxRadius || block < 2 || in.cols < 2 * block || in.rows < 2 * block) {
    cv::GaussianBlur(in, out, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
    return;
  }
  cv::Mat small, blurred;
  cv::resize(in, small, cv::Size((in.cols + block - 1) / block, (in.rows + block - 1) / block), 0,
             0, cv::INTER_AREA);
  cv::GaussianBlur(small, blurred, cv::Size(0, 0), sigma * small.cols / in.cols,
                   sigma * small.rows / in.rows, cv::BORDER_REPLICATE);
  cv::resize(blurred, out, in.size(), 0, 0, cv::INTER_LINEAR);
}

}  // namespace

int32_t is5_GaussianBlurImage(const void* src, uint32_t width, uint32_t height,
                              uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                              uint32_t dstRowBytes, double radius, uint32_t channelMask) {
  if (!IsDrawablePicture(src, width, height, srcRowBytes, bytesPerPixel) ||
      !IsDrawablePicture(dst, width, height, dstRowBytes, bytesPerPixel) || std::isnan(radius))
    return 0;
  try {
    const cv::Mat in = WrapPicture(src, width, height, bytesPerPixel, srcRowBytes);
    cv::Mat out = WrapPicture(dst, width, height, bytesPerPixel, dstRowBytes);
    const uint32_t all = (1u << bytesPerPixel) - 1;
    if (radius <= 0 || (channelMask & all) == 0) {
      if (in.data != out.data) in.copyTo(out);
      return 1;
    }
    // Straight into dst when it is another picture and every channel is blurred; otherwise into
    // a temporary first, so that an in-place call reads only unblurred pixels.
    const bool direct = in.data != out.data && (channelMask & all) == all;
    cv::Mat blurred = direct ? out : cv::Mat();
    // Beyond twice the larger side a wider blur no longer changes the picture visibly.
    Blur(in, blurred, std::min(radius, 2.0 * std::max(width, height)));
    if ((channelMask & all) != all) {
      std::vector<cv::Mat> original, result;
      cv::split(in, original);
      cv::split(blurred, result);
      for (uint32_t c = 0; c < bytesPerPixel; ++c)
        if (!(channelMask & (1u << c))) result[c] = original[c];
      cv::merge(result, blurred);
    }
    if (!direct) blurred.copyTo(out);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
