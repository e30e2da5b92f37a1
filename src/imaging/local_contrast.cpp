#include "imaging/local_contrast.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

#include "imaging/filter_frame.h"

namespace imaging {

namespace {

inline int GreyOf(const uint8_t* p) { return (77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8; }

bool StatsArgs(const void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
               uint32_t rowBytes, const double* out) {
  return out && (bytesPerPixel == 3 || bytesPerPixel == 4) &&
         IsDrawablePicture(pixels, width, height, rowBytes, bytesPerPixel);
}

// Sums f(grey) over the picture, row sums first so that the total stays exact in doubles.
template <typename F>
double SumOverGrey(const void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                   uint32_t rowBytes, F f) {
  double total = 0;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* p = static_cast<const uint8_t*>(pixels) + size_t(y) * rowBytes;
    double row = 0;
    for (uint32_t x = 0; x < width; ++x, p += bytesPerPixel) row += f(GreyOf(p));
    total += row;
  }
  return total;
}

}  // namespace

int32_t ISE40_FindImageMean(const void* pixels, uint32_t width, uint32_t height,
                            uint32_t bytesPerPixel, uint32_t rowBytes, double* mean) {
  if (!StatsArgs(pixels, width, height, bytesPerPixel, rowBytes, mean)) return 0;
  *mean = SumOverGrey(pixels, width, height, bytesPerPixel, rowBytes, [](int g) { return double(g); }) /
          (double(width) * height);
  return 1;
}

int32_t ISE40_FindImageStandardDeviation(const void* pixels, uint32_t width, uint32_t height,
                                         uint32_t bytesPerPixel, uint32_t rowBytes, double mean,
                                         double* deviation) {
  if (!StatsArgs(pixels, width, height, bytesPerPixel, rowBytes, deviation) || !std::isfinite(mean))
    return 0;
  const double squares = SumOverGrey(pixels, width, height, bytesPerPixel, rowBytes,
                                     [mean](int g) { return (g - mean) * (g - mean); });
  *deviation = std::sqrt(squares / (double(width) * height));
  return 1;
}

int32_t ISE40_LocalHistogramEnhancement(const void* src, uint32_t width, uint32_t height,
                                        uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                                        uint32_t dstRowBytes, double globalMean,
                                        double globalDeviation, uint32_t radius,
                                        double compression, double detail, double maxGain) {
  PicturePair p;
  if ((bytesPerPixel != 3 && bytesPerPixel != 4) ||
      !MakePicturePair(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes, &p))
    return 0;
  for (double v : {globalMean, globalDeviation, compression, detail, maxGain})
    if (!std::isfinite(v)) return 0;
  try {
    const int n = int(bytesPerPixel);
    cv::Mat grey(p.in.size(), CV_32F);
    for (int y = 0; y < p.in.rows; ++y) {
      const uint8_t* s = p.in.ptr<uint8_t>(y);
      float* g = grey.ptr<float>(y);
      for (int x = 0; x < p.in.cols; ++x) g[x] = float(GreyOf(s + x * n));
    }
    const double sigma = std::clamp<uint32_t>(radius, 1, 200);
    cv::Mat mean, meanOfSquares, squares;
    cv::GaussianBlur(grey, mean, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
    cv::multiply(grey, grey, squares);
    cv::GaussianBlur(squares, meanOfSquares, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
    const double squeeze = std::clamp(compression, 0.0, 1.0);
    const double lift = std::clamp(detail, 0.0, 10.0), ceiling = std::clamp(maxGain, 0.0, 10.0);
    const double spread = std::max(0.0, globalDeviation);
    cv::Mat result(p.in.size(), p.in.type());
    ForEachRowBand(p.in.rows, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        const uint8_t* s = p.in.ptr<uint8_t>(y);
        const float* g = grey.ptr<float>(y);
        const float* m = mean.ptr<float>(y);
        const float* m2 = meanOfSquares.ptr<float>(y);
        uint8_t* d = result.ptr<uint8_t>(y);
        for (int x = 0; x < p.in.cols; ++x) {
          const double local = std::sqrt(std::max(0.0, double(m2[x]) - double(m[x]) * m[x]));
          const double gain = std::min(ceiling, lift * spread / (local + 1.0));
          const double target = std::clamp(
              globalMean + squeeze * (m[x] - globalMean) + gain * (g[x] - m[x]), 0.0, 255.0);
          // Scale the colour with the grey; black lifts to grey evenly.
          const double ratio = g[x] > 0 ? target / g[x] : 0.0;
          for (int c = 0; c < 3; ++c)
            d[x * n + c] = ClampByte(g[x] > 0 ? s[x * n + c] * ratio : target);
          if (n == 4) d[x * n + 3] = s[x * n + 3];
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
