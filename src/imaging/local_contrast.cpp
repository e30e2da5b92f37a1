#include "imaging/local_contrast.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <vector>
#include <opencv2/imgproc.hpp>

#include "imaging/filter_frame.h"
#include "imaging/scratch.h"

namespace imaging {

namespace {

inline int GreyOf(const uint8_t* p) { return (77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8; }

bool StatsArgs(const void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
               uint32_t rowBytes, const double* out) {
  return out && (bytesPerPixel == 3 || bytesPerPixel == 4) &&
         IsDrawablePicture(pixels, width, height, rowBytes, bytesPerPixel);
}

// How many pixels have each grey, counted in bands of rows in parallel (whole numbers, so the
// totals do not depend on the split).
std::array<uint64_t, 256> GreyHistogram(const void* pixels, uint32_t width, uint32_t height,
                                        uint32_t bytesPerPixel, uint32_t rowBytes) {
  std::array<uint64_t, 256> total{};
  std::mutex merge;
  ForEachRowBand(int(height), [&](int begin, int end) {
    std::array<uint64_t, 256> counts{};
    for (int y = begin; y < end; ++y) {
      const uint8_t* p = static_cast<const uint8_t*>(pixels) + size_t(y) * rowBytes;
      for (uint32_t x = 0; x < width; ++x, p += bytesPerPixel) ++counts[GreyOf(p)];
    }
    std::lock_guard<std::mutex> lock(merge);
    for (int g = 0; g < 256; ++g) total[g] += counts[g];
  });
  return total;
}

// Sums f(grey) over the picture through its histogram.
template <typename F>
double SumOverGrey(const void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                   uint32_t rowBytes, F f) {
  const std::array<uint64_t, 256> counts =
      GreyHistogram(pixels, width, height, bytesPerPixel, rowBytes);
  double total = 0;
  for (int g = 0; g < 256; ++g) total += double(counts[g]) * f(g);
  return total;
}

// The grey's local mean and mean square under a Gaussian window of sigma pixels. Only their
// smooth part matters, so wide windows are taken on a field shrunk by block averages (blocks of
// a quarter sigma or less) and read back bilinearly row by row, without full-size planes.
class LocalGreyField {
 public:
  LocalGreyField(const cv::Mat& in, double sigma) : block_(std::max(1, int(sigma / 4))) {
    const int n = in.channels(), w = in.cols, h = in.rows;
    cv::Mat small((h + block_ - 1) / block_, (w + block_ - 1) / block_, CV_32FC2);
    ForEachRowBand(small.rows, [&](int begin, int end) {
      std::vector<float> sums(size_t(small.cols) * 2);
      for (int j = begin; j < end; ++j) {
        std::fill(sums.begin(), sums.end(), 0.0f);
        const int y0 = j * block_, y1 = std::min(h, y0 + block_);
        for (int y = y0; y < y1; ++y) {
          const uint8_t* s = in.ptr<uint8_t>(y);
          for (int i = 0, x = 0; i < small.cols; ++i) {
            float sum = 0, squares = 0;
            for (const int x1 = std::min(w, x + block_); x < x1; ++x) {
              const float g = float(GreyOf(s + x * n));
              sum += g;
              squares += g * g;
            }
            sums[2 * i] += sum;
            sums[2 * i + 1] += squares;
          }
        }
        float* out = small.ptr<float>(j);
        for (int i = 0; i < small.cols; ++i) {
          const float count = float((y1 - y0) * (std::min(w, (i + 1) * block_) - i * block_));
          out[2 * i] = sums[2 * i] / count;
          out[2 * i + 1] = sums[2 * i + 1] / count;
        }
      }
    });
    cv::GaussianBlur(small, field_, cv::Size(0, 0), sigma / block_, sigma / block_,
                     cv::BORDER_REPLICATE);
    // Where each picture column falls between two field columns.
    column_.resize(size_t(w));
    weight_.resize(size_t(w));
    for (int x = 0; x < w; ++x) Between(x, field_.cols, &column_[x], &weight_[x]);
  }

  // The mean and mean square along picture row y, interleaved, into row (2 x width floats).
  void Row(int y, float* row) const {
    int j;
    float wy;
    Between(y, field_.rows, &j, &wy);
    const float* top = field_.ptr<float>(j);
    const float* bottom = field_.ptr<float>(std::min(j + 1, field_.rows - 1));
    for (size_t x = 0; x < column_.size(); ++x) {
      const int i = column_[x], k = std::min(i + 1, field_.cols - 1);
      for (int c = 0; c < 2; ++c) {
        const float upper = top[2 * i + c] + (top[2 * k + c] - top[2 * i + c]) * weight_[x];
        const float lower =
            bottom[2 * i + c] + (bottom[2 * k + c] - bottom[2 * i + c]) * weight_[x];
        row[2 * x + c] = upper + (lower - upper) * wy;
      }
    }
  }

 private:
  // Picture position v against the centres of count field samples: the sample below and the
  // share of the way to the next.
  void Between(int v, int count, int* index, float* share) const {
    const float u = std::clamp((v + 0.5f) / block_ - 0.5f, 0.0f, float(count - 1));
    *index = std::min(int(u), count - 1);
    *share = u - float(*index);
  }

  int block_;
  cv::Mat field_;
  std::vector<int> column_;
  std::vector<float> weight_;
};

}  // namespace

int32_t ISE40_FindImageMean(const void* pixels, uint32_t width, uint32_t height,
                            uint32_t bytesPerPixel, uint32_t rowBytes, double* mean) {
  if (!StatsArgs(pixels, width, height, bytesPerPixel, rowBytes, mean)) return 0;
  *mean =
      SumOverGrey(pixels, width, height, bytesPerPixel, rowBytes, [](int g) { return double(g); }) /
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
                                        double globalDeviation, uint32_t radius, double compression,
                                        double detail, double maxGain) {
  PicturePair p;
  if ((bytesPerPixel != 3 && bytesPerPixel != 4) ||
      !MakePicturePair(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes, &p))
    return 0;
  for (double v : {globalMean, globalDeviation, compression, detail, maxGain})
    if (!std::isfinite(v)) return 0;
  try {
    const int n = int(bytesPerPixel);
    const LocalGreyField local(p.in, std::clamp<uint32_t>(radius, 1, 200));
    const float squeeze = float(std::clamp(compression, 0.0, 1.0));
    const float lift = float(std::clamp(detail, 0.0, 10.0)),
                ceiling = float(std::clamp(maxGain, 0.0, 10.0));
    const float spread = float(std::max(0.0, globalDeviation));
    const float mean0 = float(globalMean);
    ScratchPicture resultPicture(p.in.size(), p.in.type());
    cv::Mat& result = resultPicture.mat();
    // The channel count fixed at compile time, so that the per-pixel loop unrolls.
    auto rows = [&]<int N>(int begin, int end) {
      std::vector<float> field(size_t(p.in.cols) * 2);
      for (int y = begin; y < end; ++y) {
        const uint8_t* s = p.in.ptr<uint8_t>(y);
        local.Row(y, field.data());
        uint8_t* d = result.ptr<uint8_t>(y);
        for (int x = 0; x < p.in.cols; ++x) {
          const float level = float(GreyOf(s + x * N)), mx = field[2 * x];
          const float deviation = std::sqrt(std::max(0.0f, field[2 * x + 1] - mx * mx));
          const float gain = std::min(ceiling, lift * spread / (deviation + 1.0f));
          const float target =
              std::clamp(mean0 + squeeze * (mx - mean0) + gain * (level - mx), 0.0f, 255.0f);
          // Scale the colour with the grey; black lifts to grey evenly.
          const float ratio = level > 0 ? target / level : 0.0f;
          for (int c = 0; c < 3; ++c)
            d[x * N + c] = ClampByte(level > 0 ? s[x * N + c] * ratio : target);
          if constexpr (N == 4) d[x * N + 3] = s[x * N + 3];
        }
      }
    };
    ForEachRowBand(p.in.rows, [&](int begin, int end) {
      if (n == 4)
        rows.template operator()<4>(begin, end);
      else
        rows.template operator()<3>(begin, end);
    });
    result.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
