#include "imaging/gaussian_blur.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/picture_args.h"

namespace imaging {

namespace {

// Widths of three box filters whose succession has the variance of a Gaussian of sigma: n boxes
// of width w have variance n (w^2 - 1) / 12; the widths are the two odd numbers around the ideal
// one, as many of the smaller as brings the sum closest.
void BoxWidthsForSigma(double sigma, int widths[3]) {
  const double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
  int lower = static_cast<int>(std::floor(ideal));
  if (lower % 2 == 0) --lower;
  const int upper = lower + 2;
  const double m = std::round((12 * sigma * sigma - 3.0 * lower * lower - 4.0 * 3 * lower - 3 * 3) /
                              (-4.0 * lower - 4));
  for (int i = 0; i < 3; ++i) widths[i] = i < m ? lower : upper;
}

void Blur(const cv::Mat& in, cv::Mat& out, double sigma) {
  if (sigma < kBoxRadius) {
    cv::GaussianBlur(in, out, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
    return;
  }
  int widths[3];
  BoxWidthsForSigma(sigma, widths);
  // Sixteen bits between the passes keep the rounding of the 8-bit picture to the last pass.
  cv::Mat work;
  in.convertTo(work, CV_16U, 256);
  for (int w : widths) cv::blur(work, work, cv::Size(w, w), cv::Point(-1, -1), cv::BORDER_REPLICATE);
  work.convertTo(out, in.type(), 1.0 / 256);
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
