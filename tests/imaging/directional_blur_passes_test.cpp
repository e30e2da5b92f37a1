// The spin and zoom blurs' doubling passes against the same passes built from OpenCV alone
// (bilinear warps averaged by addWeighted): the byte average of the passes must round exactly as
// OpenCV's does (a half to even), on pictures of 1, 3 and 4 channels, widths that leave a tail of
// fewer than eight samples, and a destination that is the source.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <opencv2/imgproc.hpp>
#include <random>
#include <vector>

#include "imaging/directional_blurs.h"

namespace {

// The reference: N = 2^n bilinear warps T(a0 + j d) averaged pairwise by doubling.
cv::Mat Doubled(const cv::Mat& in, int n, double first, double step,
                const std::function<cv::Matx23d(double)>& warp) {
  if (n == 0) return in.clone();
  auto warped = [&](const cv::Mat& from, double parameter) {
    cv::Mat to;
    cv::warpAffine(from, to, cv::Mat(warp(parameter)), from.size(),
                   cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
    return to;
  };
  cv::Mat x;
  cv::addWeighted(warped(in, first), 0.5, warped(in, first + step), 0.5, 0, x);
  for (int k = 1; k < n; ++k) cv::addWeighted(x, 0.5, warped(x, step * (1 << k)), 0.5, 0, x);
  return x;
}

int Doublings(double length) {
  int n = 0;
  while (n < 6 && double(1 << n) < length) ++n;
  return n;
}

double Farthest(int w, int h, double cx, double cy) {
  double far = 0;
  for (double x : {0.0, double(w - 1)})
    for (double y : {0.0, double(h - 1)}) far = std::max(far, std::hypot(x - cx, y - cy));
  return far;
}

TEST(DirectionalBlurPasses, MatchOpenCVWarpsAveragedByAddWeighted) {
  std::mt19937 rng(11);
  for (int channels : {1, 3, 4})
    for (int w : {61, 64}) {
      const int h = 47;
      cv::Mat in(h, w, CV_8UC(channels));
      for (int y = 0; y < h; ++y)
        for (int i = 0; i < w * channels; ++i) in.ptr<uint8_t>(y)[i] = uint8_t(rng());
      const double cx = 20, cy = 30;
      const uint32_t rowBytes = uint32_t(w * channels);
      for (double degrees : {3.0, 40.0}) {
        SCOPED_TRACE(testing::Message()
                     << channels << " channels, width " << w << ", spin " << degrees);
        const double arc = degrees * std::numbers::pi / 180;
        const int n = Doublings(arc * Farthest(w, h, cx, cy));
        const double step = arc / (1 << n);
        const cv::Mat want = Doubled(in, n, -arc / 2 + step / 2, step, [&](double a) {
          const double c = std::cos(a), s = std::sin(a);
          return cv::Matx23d(c, -s, cx - c * cx + s * cy, s, c, cy - s * cx - c * cy);
        });
        cv::Mat got(h, w, in.type());
        ASSERT_EQ(imaging::is5_RadialBlur(in.data, w, h, channels, rowBytes, got.data, rowBytes,
                                          degrees, cx, cy),
                  1);
        EXPECT_EQ(cv::norm(got, want, cv::NORM_INF), 0);
        // In place: the source is the destination.
        cv::Mat same = in.clone();
        ASSERT_EQ(imaging::is5_RadialBlur(same.data, w, h, channels, rowBytes, same.data, rowBytes,
                                          degrees, cx, cy),
                  1);
        EXPECT_EQ(cv::norm(same, want, cv::NORM_INF), 0);
      }
      for (double share : {0.05, 0.4}) {
        SCOPED_TRACE(testing::Message()
                     << channels << " channels, width " << w << ", zoom " << share);
        const int n = Doublings(share * Farthest(w, h, cx, cy));
        const double step = std::log1p(-share) / (1 << n);
        const cv::Mat want = Doubled(in, n, step / 2, step, [&](double logFactor) {
          const double f = std::exp(logFactor);
          return cv::Matx23d(f, 0, cx * (1 - f), 0, f, cy * (1 - f));
        });
        cv::Mat got(h, w, in.type());
        ASSERT_EQ(imaging::is5_ZoomBlur(in.data, w, h, channels, rowBytes, got.data, rowBytes,
                                        share, cx, cy),
                  1);
        EXPECT_EQ(cv::norm(got, want, cv::NORM_INF), 0);
      }
    }
}

}  // namespace
