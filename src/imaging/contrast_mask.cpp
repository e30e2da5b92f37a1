#include "imaging/contrast_mask.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

#include "imaging/filter_frame.h"

namespace imaging {

int32_t ISE40_ContrastMaskImage(const void* src, uint32_t width, uint32_t height,
                                uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                                uint32_t dstRowBytes, double radius) {
  if (bytesPerPixel != 3 && bytesPerPixel != 4) return 0;
  if (!std::isfinite(radius)) return 0;
  PicturePair p;
  if (!MakePicturePair(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes, &p))
    return 0;
  try {
    // The inverted grey, at 16 bits so that the blur keeps its gradations.
    cv::Mat grey(p.in.size(), CV_16U);
    ForEachRowBand(p.in.rows, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        const uint8_t* s = p.in.ptr<uint8_t>(y);
        uint16_t* g = grey.ptr<uint16_t>(y);
        for (int x = 0; x < p.in.cols; ++x, s += bytesPerPixel)
          g[x] = uint16_t((255 - ((77 * s[0] + 150 * s[1] + 29 * s[2] + 128) >> 8)) * 257);
      }
    });
    const double sigma = std::clamp(radius, 0.5, 500.0);
    cv::GaussianBlur(grey, grey, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
    // Built aside and copied last: dst may be src, and the alpha comes from src.
    cv::Mat result(p.in.size(), p.in.type());
    ForEachRowBand(p.in.rows, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        const uint8_t* s = p.in.ptr<uint8_t>(y);
        const uint16_t* g = grey.ptr<uint16_t>(y);
        uint8_t* d = result.ptr<uint8_t>(y);
        for (int x = 0; x < p.in.cols; ++x, s += bytesPerPixel, d += bytesPerPixel) {
          const uint8_t v = uint8_t((g[x] + 128) / 257);
          d[0] = d[1] = d[2] = v;
          if (bytesPerPixel == 4) d[3] = s[3];
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
