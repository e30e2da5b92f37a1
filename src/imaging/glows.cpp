#include "imaging/glows.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

#include "imaging/filter_frame.h"
#include "imaging/picture_args.h"
#include "imaging/scratch.h"

namespace imaging {

namespace {

// A level from 0..255.5 (a mix of levels, which floating-point rounding may carry a hair past
// either end), rounded half up.
uint8_t RoundLevel(float v) { return static_cast<uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f)); }

bool GoodArguments(const void* src, const void* dst, uint32_t width, uint32_t height,
                   uint32_t srcRowBytes, uint32_t dstRowBytes, double radius, double strength) {
  return IsDrawablePicture(src, width, height, srcRowBytes, 4) &&
         IsDrawablePicture(dst, width, height, dstRowBytes, 4) && radius > 0 && radius <= 1000 &&
         strength >= 0 && std::isfinite(strength);
}

// Checks the arguments, blurs the alpha with the Gaussian of the radius (beyond the picture
// counts as clear), turns it into the glow (0..1: the blurred alpha inside the shape or its
// complement around it, times strength, limited to 1) and writes each pixel as
// mix(source pixel, glow, ink) gives it, row by row into dst.
template <typename Mix>
int32_t ComposeGlow(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                    void* dst, uint32_t dstRowBytes, uint32_t colour, double radius,
                    double strength, bool inner, Mix mix) {
  if (!GoodArguments(src, dst, width, height, srcRowBytes, dstRowBytes, radius, strength)) return 0;
  try {
    const cv::Mat in = WrapPicture(src, width, height, 4, srcRowBytes);
    // The alpha as levels in floating point, blurred into a second plane; both on warm scratch
    // memory. Clear beyond the edges is a constant border of 0, which the blur pads with itself.
    ScratchPicture alphaPicture(in.size(), CV_32F), blurredPicture(in.size(), CV_32F);
    cv::Mat& alpha = alphaPicture.mat();
    ForEachRowBand(int(height), [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        const uint8_t* s = in.ptr<uint8_t>(y);
        float* a = alpha.ptr<float>(y);
        for (uint32_t x = 0; x < width; ++x) a[x] = s[4 * x + 3];
      }
    });
    cv::GaussianBlur(alpha, blurredPicture.mat(), cv::Size(0, 0), radius, radius,
                     cv::BORDER_CONSTANT);
    const cv::Mat& blurred = blurredPicture.mat();
    // glow = min(1, strength x b / 255) of the blurred alpha b around the shape, and of the
    // blurred clear parts 255 - b inside it: one scale and offset either way.
    const float scale = float((inner ? -strength : strength) / 255);
    const float offset = float(inner ? strength : 0);
    const float ink[3] = {float(colour & 0xFF), float((colour >> 8) & 0xFF),
                          float((colour >> 16) & 0xFF)};
    // Rows in parallel: each row reads its own source row and glow row only.
    ForEachRowBand(int(height), [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        const uint8_t* s = in.ptr<uint8_t>(y);
        uint8_t* d = static_cast<uint8_t*>(dst) + std::size_t(y) * dstRowBytes;
        const float* b = blurred.ptr<float>(y);
        for (uint32_t x = 0; x < width; ++x, s += 4, d += 4) {
          const float g = std::clamp(b[x] * scale + offset, 0.0f, 1.0f);
          uint8_t pixel[4];
          mix(s, g, ink, pixel);
          std::copy(pixel, pixel + 4, d);
        }
      }
    });
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace

int32_t ISE40_OuterGlowRGBA(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                            void* dst, uint32_t dstRowBytes, uint32_t colour, double radius,
                            double strength) {
  return ComposeGlow(src, width, height, srcRowBytes, dst, dstRowBytes, colour, radius, strength,
                     false, [](const uint8_t* s, float g, const float* ink, uint8_t* pixel) {
                       // The picture over the glow.
                       const float a = s[3] * (1.0f / 255), under = g * (1 - a), out = a + under;
                       const float share = out > 0 ? 1 / out : 0;
                       for (int c = 0; c < 3; ++c)
                         pixel[c] = RoundLevel((s[c] * a + ink[c] * under) * share);
                       pixel[3] = RoundLevel(out * 255);
                     });
}

int32_t ISE40_InnerGlowRGBA(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                            void* dst, uint32_t dstRowBytes, uint32_t colour, double radius,
                            double strength) {
  return ComposeGlow(src, width, height, srcRowBytes, dst, dstRowBytes, colour, radius, strength,
                     true, [](const uint8_t* s, float g, const float* ink, uint8_t* pixel) {
                       for (int c = 0; c < 3; ++c)
                         pixel[c] = RoundLevel(s[c] + (ink[c] - s[c]) * g);
                       pixel[3] = s[3];
                     });
}

}  // namespace imaging
