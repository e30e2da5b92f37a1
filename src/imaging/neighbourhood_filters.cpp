#include "imaging/neighbourhood_filters.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/filter_frame.h"

namespace imaging {

namespace {

int Side(uint32_t radius) { return 2 * int(std::clamp<uint32_t>(radius, 1, 64)) + 1; }

// Runs make(in, result) straight into dst when it is another picture, otherwise into a temporary
// that is then copied, so that dst may be src.
template <typename Make>
int32_t Filter(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
               uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, Make make) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes, &p))
    return 0;
  try {
    const bool direct = p.in.data != p.out.data;
    cv::Mat result = direct ? p.out : cv::Mat();
    make(p.in, result);
    if (!direct) result.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

cv::Mat Square(int side) { return cv::getStructuringElement(cv::MORPH_RECT, cv::Size(side, side)); }

// A mean of samples + 1 taken through a change of variable: forward to a float picture, the box
// average, back to bytes.
void TransformedMean(const cv::Mat& in, cv::Mat& out, int side, bool harmonic) {
  // Forward through a table of the 256 sample values.
  cv::Mat table(1, 256, CV_32F);
  for (int v = 0; v < 256; ++v)
    table.at<float>(v) = harmonic ? float(1.0 / (v + 1.0)) : float(std::log(v + 1.0));
  cv::Mat f;
  cv::LUT(in, table, f);
  cv::blur(f, f, cv::Size(side, side), cv::Point(-1, -1), cv::BORDER_REPLICATE);
  if (harmonic)
    cv::divide(1.0, f, f);
  else
    cv::exp(f, f);
  f.convertTo(out, in.type(), 1.0, -1.0);
}

// OpenCV's median repeats the border pixels itself and runs on 1, 3 or 4 channels of bytes at
// any odd side.
void Median(const cv::Mat& in, cv::Mat& out, int side) { cv::medianBlur(in, out, side); }

}  // namespace

int32_t ISE3ArithmeticMeanFilter(const void* src, uint32_t width, uint32_t height,
                                 uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                                 uint32_t dstRowBytes, uint32_t radius) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) {
                  const int side = Side(radius);
                  cv::blur(in, out, cv::Size(side, side), cv::Point(-1, -1), cv::BORDER_REPLICATE);
                });
}

int32_t ISE3MidpointFilter(const void* src, uint32_t width, uint32_t height,
                           uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                           uint32_t dstRowBytes, uint32_t radius) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) {
                  const cv::Mat k = Square(Side(radius));
                  cv::Mat high, low;
                  cv::dilate(in, high, k, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
                  cv::erode(in, low, k, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
                  out.create(in.size(), in.type());
                  const int samples = in.cols * in.channels();
                  ForEachRowBand(in.rows, [&](int begin, int end) {
                    for (int y = begin; y < end; ++y) {
                      const uint8_t* h = high.ptr<uint8_t>(y);
                      const uint8_t* l = low.ptr<uint8_t>(y);
                      uint8_t* d = out.ptr<uint8_t>(y);
                      for (int i = 0; i < samples; ++i) d[i] = uint8_t((h[i] + l[i] + 1) >> 1);
                    }
                  });
                });
}

int32_t ISE3GeometricMeanFilter(const void* src, uint32_t width, uint32_t height,
                                uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                                uint32_t dstRowBytes, uint32_t radius) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) { TransformedMean(in, out, Side(radius), false); });
}

int32_t ISE3HarmonicMeanFilter(const void* src, uint32_t width, uint32_t height,
                               uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                               uint32_t dstRowBytes, uint32_t radius) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) { TransformedMean(in, out, Side(radius), true); });
}

int32_t ISE3MaximumFilter(const void* src, uint32_t width, uint32_t height,
                          uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                          uint32_t dstRowBytes, uint32_t radius) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) {
                  cv::dilate(in, out, Square(Side(radius)), cv::Point(-1, -1), 1,
                             cv::BORDER_REPLICATE);
                });
}

int32_t ISE3MinimumFilter(const void* src, uint32_t width, uint32_t height,
                          uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                          uint32_t dstRowBytes, uint32_t radius) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) {
                  cv::erode(in, out, Square(Side(radius)), cv::Point(-1, -1), 1,
                            cv::BORDER_REPLICATE);
                });
}

int32_t ISE3MedianCutImage(const void* src, uint32_t width, uint32_t height,
                           uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                           uint32_t dstRowBytes, uint32_t radius) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) { Median(in, out, Side(radius)); });
}

int32_t ISE3DustAndScratches(const void* src, uint32_t width, uint32_t height,
                             uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                             uint32_t dstRowBytes, uint32_t radius, uint32_t threshold) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) {
                  cv::Mat median;
                  Median(in, median, Side(radius));
                  out.create(in.size(), in.type());
                  const int samples = in.cols * in.channels();
                  const int limit = int(std::min<uint32_t>(threshold, 255));
                  ForEachRowBand(in.rows, [&](int begin, int end) {
                    for (int y = begin; y < end; ++y) {
                      const uint8_t* s = in.ptr<uint8_t>(y);
                      const uint8_t* m = median.ptr<uint8_t>(y);
                      uint8_t* d = out.ptr<uint8_t>(y);
                      for (int i = 0; i < samples; ++i)
                        d[i] = std::abs(int(s[i]) - int(m[i])) > limit ? m[i] : s[i];
                    }
                  });
                });
}

int32_t ISE3MosaicImage(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t rowBytes, uint32_t blockSize) {
  if (!IsDrawablePicture(pixels, width, height, rowBytes, bytesPerPixel)) return 0;
  const uint32_t block = std::clamp<uint32_t>(blockSize, 1, std::max(width, height));
  cv::Mat picture = WrapPicture(pixels, width, height, bytesPerPixel, rowBytes);
  const int bands = int((height + block - 1) / block);
  ForEachRowBand(bands, [&](int begin, int end) {
    for (int band = begin; band < end; ++band) {
      const int y0 = band * int(block), y1 = std::min(int(height), y0 + int(block));
      for (int x0 = 0; x0 < int(width); x0 += int(block)) {
        const int x1 = std::min(int(width), x0 + int(block));
        uint64_t sum[4] = {};
        for (int y = y0; y < y1; ++y) {
          const uint8_t* row = picture.ptr<uint8_t>(y) + size_t(x0) * bytesPerPixel;
          for (int i = 0; i < (x1 - x0) * int(bytesPerPixel); ++i) sum[i % bytesPerPixel] += row[i];
        }
        const uint64_t count = uint64_t(x1 - x0) * uint64_t(y1 - y0);
        uint8_t mean[4];
        for (uint32_t c = 0; c < bytesPerPixel; ++c) mean[c] = uint8_t((sum[c] + count / 2) / count);
        for (int y = y0; y < y1; ++y) {
          uint8_t* row = picture.ptr<uint8_t>(y) + size_t(x0) * bytesPerPixel;
          for (int i = 0; i < (x1 - x0) * int(bytesPerPixel); ++i) row[i] = mean[i % bytesPerPixel];
        }
      }
    }
  });
  return 1;
}

}  // namespace imaging
