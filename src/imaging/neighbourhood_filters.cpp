#include "imaging/neighbourhood_filters.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/filter_frame.h"
#include "imaging/scratch.h"

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
    if (Apart(p.in, p.out)) {
      make(p.in, p.out);
    } else {
      ScratchPicture result(p.in.size(), p.in.type());
      make(p.in, result.mat());
      result.mat().copyTo(p.out);
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

cv::Mat Square(int side) { return cv::getStructuringElement(cv::MORPH_RECT, cv::Size(side, side)); }

// A mean of samples + 1 taken through a change of variable: each sample through a table to a
// fixed-point value of 17 bits, their sums over the square kept exactly in 32 bits (at most
// 129 x 129 samples of 2^17), and the mean back through the inverse change. Column sums slide
// down the rows and window sums along each row, so the cost does not grow with the square.
// N is the channel count, fixed at compile time so that the per-pixel loops unroll.
template <int N, bool kHarmonic>
void TransformedMeanOf(const cv::Mat& in, cv::Mat& out, int side) {
  constexpr bool harmonic = kHarmonic;
  constexpr double kUnit = 131072.0;  // 2^17
  const double logScale = kUnit / std::log(256.0);
  uint32_t forward[256];
  for (int v = 0; v < 256; ++v)
    forward[v] = uint32_t(std::lround(harmonic ? kUnit / (v + 1.0) : std::log(v + 1.0) * logScale));
  // The geometric mean's way back, for every whole mean of the fixed-point logarithms.
  static const std::vector<uint8_t> back = [&] {
    std::vector<uint8_t> table(size_t(kUnit) + 1);
    for (size_t m = 0; m < table.size(); ++m)
      table[m] = cv::saturate_cast<uint8_t>(std::exp(double(m) / logScale) - 1.0);
    return table;
  }();
  constexpr int n = N;
  const int w = in.cols, h = in.rows, r = side / 2;
  const int samples = w * n;
  const double count = double(side) * side, inverseCount = 1.0 / count;
  out.create(in.size(), in.type());
  ForEachRowBand(h, [&](int begin, int end) {
    // Column sums with r columns of the border repeated on each side.
    std::vector<uint32_t> columns(size_t(w + 2 * r) * n);
    auto addRow = [&](int y, int sign) {
      const uint8_t* s = in.ptr<uint8_t>(std::clamp(y, 0, h - 1));
      uint32_t* c = columns.data() + size_t(r) * n;
      if (sign > 0)
        for (int i = 0; i < samples; ++i) c[i] += forward[s[i]];
      else
        for (int i = 0; i < samples; ++i) c[i] -= forward[s[i]];
    };
    for (int y = begin - r; y <= begin + r; ++y) addRow(y, 1);
    for (int y = begin; y < end; ++y) {
      uint32_t* c = columns.data();
      for (int k = 0; k < r; ++k)
        for (int ch = 0; ch < n; ++ch) {
          c[k * n + ch] = c[r * n + ch];
          c[(r + w + k) * n + ch] = c[(r + w - 1) * n + ch];
        }
      uint32_t window[4] = {};
      for (int k = 0; k < side; ++k)
        for (int ch = 0; ch < n; ++ch) window[ch] += c[k * n + ch];
      uint8_t* d = out.ptr<uint8_t>(y);
      for (int x = 0; x < w; ++x) {
        for (int ch = 0; ch < n; ++ch) {
          const double mean = window[ch] * inverseCount;
          d[x * n + ch] =
              harmonic ? cv::saturate_cast<uint8_t>(kUnit / mean - 1.0) : back[size_t(mean + 0.5)];
        }
        if (x + 1 < w)
          for (int ch = 0; ch < n; ++ch) window[ch] += c[(x + side) * n + ch] - c[x * n + ch];
      }
      if (y + 1 < end) {
        addRow(y - r, -1);
        addRow(y + r + 1, 1);
      }
    }
  });
}

void TransformedMean(const cv::Mat& in, cv::Mat& out, int side, bool harmonic) {
  switch (in.channels()) {
    case 1:
      return harmonic ? TransformedMeanOf<1, true>(in, out, side)
                      : TransformedMeanOf<1, false>(in, out, side);
    case 3:
      return harmonic ? TransformedMeanOf<3, true>(in, out, side)
                      : TransformedMeanOf<3, false>(in, out, side);
    default:
      return harmonic ? TransformedMeanOf<4, true>(in, out, side)
                      : TransformedMeanOf<4, false>(in, out, side);
  }
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

int32_t ISE3MidpointFilter(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                           uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t radius) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) {
                  const cv::Mat k = Square(Side(radius));
                  // The extremes on warm scratch memory: two canvas-sized temporaries a call.
                  ScratchPicture highPicture(in.size(), in.type()),
                      lowPicture(in.size(), in.type());
                  cv::Mat& high = highPicture.mat();
                  cv::Mat& low = lowPicture.mat();
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
  return Filter(
      src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
      [&](const cv::Mat& in, cv::Mat& out) { TransformedMean(in, out, Side(radius), false); });
}

int32_t ISE3HarmonicMeanFilter(const void* src, uint32_t width, uint32_t height,
                               uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                               uint32_t dstRowBytes, uint32_t radius) {
  return Filter(
      src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
      [&](const cv::Mat& in, cv::Mat& out) { TransformedMean(in, out, Side(radius), true); });
}

int32_t ISE3MaximumFilter(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                          uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t radius) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) {
                  cv::dilate(in, out, Square(Side(radius)), cv::Point(-1, -1), 1,
                             cv::BORDER_REPLICATE);
                });
}

int32_t ISE3MinimumFilter(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                          uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t radius) {
  return Filter(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
                [&](const cv::Mat& in, cv::Mat& out) {
                  cv::erode(in, out, Square(Side(radius)), cv::Point(-1, -1), 1,
                            cv::BORDER_REPLICATE);
                });
}

int32_t ISE3MedianCutImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                           uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t radius) {
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
        for (uint32_t c = 0; c < bytesPerPixel; ++c)
          mean[c] = uint8_t((sum[c] + count / 2) / count);
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
