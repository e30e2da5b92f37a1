// Soft looks: gauze and watercolour tint.
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"
#include "imaging/gaussian_blur.h"
#include "imaging/scratch.h"

namespace imaging {

int32_t ISE3GauzyRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                     void* dst, uint32_t dstRowBytes, double radius, double strength) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p) ||
      !std::isfinite(radius) || !std::isfinite(strength))
    return 0;
  try {
    const double sigma = std::clamp(radius, 0.5, 100.0);
    const int share = int(std::clamp(strength, 0.0, 1.0) * 256 + 0.5);
    ScratchPicture blurredPicture(p.in.size(), p.in.type()),
        resultPicture(p.in.size(), p.in.type());
    cv::Mat& blurred = blurredPicture.mat();
    if (!is5_GaussianBlurImage(p.in.data, width, height, 3, uint32_t(p.in.step), blurred.data,
                               uint32_t(blurred.step), sigma, 7))
      return 0;
    cv::Mat& result = resultPicture.mat();
    const int samples = p.in.cols * 3;
    ForEachRowBand(p.in.rows, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        const uint8_t* s = p.in.ptr<uint8_t>(y);
        const uint8_t* b = blurred.ptr<uint8_t>(y);
        uint8_t* d = result.ptr<uint8_t>(y);
        for (int i = 0; i < samples; ++i) {
          // Screen: 255 - (255 - s)(255 - b) / 255, mixed in by share / 256.
          const int screen = 255 - (255 - s[i]) * (255 - b[i]) / 255;
          d[i] = uint8_t(s[i] + ((screen - s[i]) * share >> 8));
        }
      }
    });
    result.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

int32_t ISE3WatercolorTintRGB(const void* src, uint32_t width, uint32_t height,
                              uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes,
                              double strength) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p) ||
      !std::isfinite(strength))
    return 0;
  try {
    const double k = std::clamp(strength, 0.0, 1.0);
    // Pools of colour: an edge-keeping smoothing flattens areas into washes.
    // Every temporary on warm scratch memory: five canvas-sized pictures a call.
    ScratchPicture washPicture(p.in.size(), p.in.type()), resultPicture(p.in.size(), p.in.type());
    ScratchPicture greyPicture(p.in.size(), CV_8UC1), widePicture(p.in.size(), CV_8UC1),
        edgePicture(p.in.size(), CV_8UC1);
    cv::Mat& wash = washPicture.mat();
    cv::bilateralFilter(p.in, wash, 7, 40, 3, cv::BORDER_REPLICATE);
    cv::Mat& washGrey = greyPicture.mat();
    cv::Mat& edges = edgePicture.mat();
    cv::cvtColor(wash, washGrey, cv::COLOR_RGB2GRAY);
    // Pigment gathers where a wash meets another: the local difference from a wider blur.
    cv::Mat& wide = widePicture.mat();
    cv::GaussianBlur(washGrey, wide, cv::Size(0, 0), 2.5, 2.5, cv::BORDER_REPLICATE);
    cv::absdiff(washGrey, wide, edges);
    cv::Mat& result = resultPicture.mat();
    const int w = p.in.cols;
    ForEachRowBand(p.in.rows, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        const uint8_t* s = p.in.ptr<uint8_t>(y);
        const uint8_t* a = wash.ptr<uint8_t>(y);
        const uint8_t* e = edges.ptr<uint8_t>(y);
        uint8_t* d = result.ptr<uint8_t>(y);
        for (int x = 0; x < w; ++x) {
          // The paper's grain: a fine fixed pattern lightening the pigment in its pits.
          const double grain = 0.06 * (HashUnit(uint32_t(x), uint32_t(y), 0xA7E2u) - 0.5) +
                               0.04 * (HashUnit(uint32_t(x / 3), uint32_t(y / 3), 0x9A9Eu) - 0.5);
          const double rim = std::min(1.0, e[x] / 24.0) * 0.35;
          for (int c = 0; c < 3; ++c) {
            // Thinned pigment: the colour lifted towards the white of the paper, darkened at
            // the rim of the wash.
            const double pigment = 255 - (255 - a[3 * x + c]) * (0.8 - grain) * (1.0 + rim);
            d[3 * x + c] = ClampByte(s[3 * x + c] + (pigment - s[3 * x + c]) * k);
          }
        }
      }
    });
    result.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
