#include "imaging/glows.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

#include "imaging/filter_frame.h"
#include "imaging/picture_args.h"

namespace imaging {

namespace {

uint8_t RoundByte(double v) {
  if (!(v > 0)) return 0;
  if (v >= 255) return 255;
  return static_cast<uint8_t>(std::lround(v));
}

// The glow plane (0..1): the blurred alpha (or its complement) times strength, limited to 1.
cv::Mat GlowPlane(const cv::Mat& picture, bool ofClearParts, double radius, double strength) {
  cv::Mat alpha;
  cv::extractChannel(picture, alpha, 3);
  cv::Mat plane;
  alpha.convertTo(plane, CV_32F, ofClearParts ? -1.0 / 255 : 1.0 / 255, ofClearParts ? 1.0 : 0.0);
  // Beyond the picture everything is clear: pad with what clear means for this plane.
  const int pad = int(std::ceil(radius * 3)) + 1;
  cv::Mat padded;
  cv::copyMakeBorder(plane, padded, pad, pad, pad, pad, cv::BORDER_CONSTANT,
                     cv::Scalar(ofClearParts ? 1.0 : 0.0));
  cv::GaussianBlur(padded, padded, cv::Size(0, 0), radius, radius, cv::BORDER_REPLICATE);
  cv::Mat glow = padded(cv::Rect(pad, pad, picture.cols, picture.rows)) * strength;
  cv::min(glow, 1.0, glow);
  return glow;
}

bool GoodArguments(const void* src, const void* dst, uint32_t width, uint32_t height,
                   uint32_t srcRowBytes, uint32_t dstRowBytes, double radius, double strength) {
  return IsDrawablePicture(src, width, height, srcRowBytes, 4) &&
         IsDrawablePicture(dst, width, height, dstRowBytes, 4) && radius > 0 && radius <= 1000 &&
         strength >= 0 && std::isfinite(strength);
}

// Checks the arguments, makes the glow plane (inside the shape or around it), and writes each
// pixel as mix(source pixel, glow, ink) gives it, row by row into dst.
template <typename Mix>
int32_t ComposeGlow(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                    void* dst, uint32_t dstRowBytes, uint32_t colour, double radius,
                    double strength, bool inner, Mix mix) {
  if (!GoodArguments(src, dst, width, height, srcRowBytes, dstRowBytes, radius, strength)) return 0;
  const cv::Mat in = WrapPicture(src, width, height, 4, srcRowBytes);
  const cv::Mat glow = GlowPlane(in, inner, radius, strength);
  const double ink[3] = {double(colour & 0xFF), double((colour >> 8) & 0xFF),
                         double((colour >> 16) & 0xFF)};
  // Rows in parallel: each row reads its own source row and glow row only.
  ForEachRowBand(int(height), [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const uint8_t* s = in.ptr<uint8_t>(y);
      uint8_t* d = static_cast<uint8_t*>(dst) + std::size_t(y) * dstRowBytes;
      const float* g = glow.ptr<float>(y);
      for (uint32_t x = 0; x < width; ++x, s += 4, d += 4) {
        uint8_t pixel[4];
        mix(s, g[x], ink, pixel);
        std::copy(pixel, pixel + 4, d);
      }
    }
  });
  return 1;
}

}  // namespace

int32_t ISE40_OuterGlowRGBA(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                            void* dst, uint32_t dstRowBytes, uint32_t colour, double radius,
                            double strength) {
  return ComposeGlow(src, width, height, srcRowBytes, dst, dstRowBytes, colour, radius, strength,
                     false, [](const uint8_t* s, float g, const double* ink, uint8_t* pixel) {
                       // The picture over the glow.
                       const double a = s[3] / 255.0, under = g * (1 - a), out = a + under;
                       for (int c = 0; c < 3; ++c)
                         pixel[c] = out > 0 ? RoundByte((s[c] * a + ink[c] * under) / out) : 0;
                       pixel[3] = RoundByte(out * 255);
                     });
}

int32_t ISE40_InnerGlowRGBA(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                            void* dst, uint32_t dstRowBytes, uint32_t colour, double radius,
                            double strength) {
  return ComposeGlow(src, width, height, srcRowBytes, dst, dstRowBytes, colour, radius, strength,
                     true, [](const uint8_t* s, float g, const double* ink, uint8_t* pixel) {
                       for (int c = 0; c < 3; ++c) pixel[c] = RoundByte(s[c] + (ink[c] - s[c]) * g);
                       pixel[3] = s[3];
                     });
}

}  // namespace imaging
