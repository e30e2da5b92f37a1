// Oil paint by a sliding brightness histogram: moving the brush one pixel to the right takes one
// pixel out and puts one in on each of its rows, so the cost per pixel grows with the brush's
// height, not its area.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <opencv2/core.hpp>
#include <vector>

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"

namespace imaging {

namespace {

constexpr int kMaxBands = 64;

// A band's colour sums packed into one word, 21 bits a channel: a brush holds at most 65 x 65
// pixels, and 65 * 65 * 255 < 2^21, so no field ever carries into the next and one addition
// updates all three.
inline uint64_t Packed(const uint8_t* s) {
  return uint64_t(s[0]) | uint64_t(s[1]) << 21 | uint64_t(s[2]) << 42;
}
constexpr uint64_t kField = (1u << 21) - 1;

// Two histograms, one for the brush's even rows and one for its odd rows: consecutive updates
// of the same band (a flat area) then alternate between two counters instead of waiting on one.
// Counts fit 16 bits, which lets the search for the fullest band run eight bands at a time.
struct Bins {
  alignas(32) int16_t count[2][kMaxBands];
  uint64_t sum[2][kMaxBands];
};

// The fullest band, the darker of equals.
inline int FullestBand(const Bins& bins, int bands) {
  alignas(32) int16_t total[kMaxBands];
  int16_t most = 0;
  for (int k = 0; k < kMaxBands; ++k) {
    total[k] = int16_t(bins.count[0][k] + bins.count[1][k]);
    most = std::max(most, total[k]);
  }
  int k = 0;
  while (total[k] != most) ++k;
  return k < bands ? k : 0;
}

// (sum + n / 2) / n in integers: the quotient's fraction is 0 or at least 1 / n >= 1 / 4225, far
// above the product's rounding error, so a small nudge before truncating gives the exact result.
inline uint8_t RoundedMean(uint64_t sum, int n, double inverse) {
  return uint8_t(int((double(sum) + (n >> 1)) * inverse + 1e-7));
}

}  // namespace

int32_t ISE3OilPaintRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                        void* dst, uint32_t dstRowBytes, uint32_t brushSize, uint32_t smoothness,
                        uint32_t flags) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  try {
    const int r = int(std::clamp<uint32_t>(brushSize, 1, 32));
    const int bands = 8 + int(std::min<uint32_t>(smoothness, 255)) * (kMaxBands - 8) / 255;
    const int w = int(width), h = int(height);
    // The picture padded by the brush radius with its border repeated, and each padded pixel's
    // brightness band.
    cv::Mat padded;
    cv::copyMakeBorder(p.in, padded, r, r, r, r, cv::BORDER_REPLICATE);
    cv::Mat band(padded.size(), CV_8UC1);
    ForEachRowBand(padded.rows, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        const uint8_t* s = padded.ptr<uint8_t>(y);
        uint8_t* b = band.ptr<uint8_t>(y);
        for (int x = 0; x < padded.cols; ++x, s += 3)
          b[x] = uint8_t(((77 * s[0] + 150 * s[1] + 29 * s[2]) >> 8) * bands >> 8);
      }
    });
    // Half-widths of the brush on each of its rows.
    const int side = 2 * r + 1;
    std::vector<int> reach(side);
    for (int dy = -r; dy <= r; ++dy) {
      int half = r;
      if (flags & 1)
        while (half > 0 && half * half + dy * dy > r * r + r) --half;
      reach[dy + r] = half;
    }
    // 1 / n for every count a brush can hold.
    std::vector<double> inverse(size_t(side) * side + 1, 0.0);
    for (size_t n = 1; n < inverse.size(); ++n) inverse[n] = 1.0 / double(n);
    const bool keepDetail = flags & 2;
    cv::Mat result(p.in.size(), p.in.type());
    ForEachRowBand(h, [&](int begin, int end) {
      Bins bins;
      std::vector<const uint8_t*> rgbRows(side), bandRows(side);
      for (int y = begin; y < end; ++y) {
        std::memset(&bins, 0, sizeof bins);
        for (int i = 0; i < side; ++i) {
          rgbRows[i] = padded.ptr<uint8_t>(y + i);
          bandRows[i] = band.ptr<uint8_t>(y + i);
        }
        // Padded coordinates: the output pixel (x, y) sits at (x + r, y + r).
        for (int i = 0; i < side; ++i)
          for (int px = r - reach[i]; px <= r + reach[i]; ++px) {
            const int k = bandRows[i][px];
            ++bins.count[i & 1][k];
            bins.sum[i & 1][k] += Packed(rgbRows[i] + 3 * px);
          }
        const uint8_t* original = p.in.ptr<uint8_t>(y);
        uint8_t* out = result.ptr<uint8_t>(y);
        for (int x = 0; x < w; ++x) {
          if (x > 0)
            for (int i = 0; i < side; ++i) {
              const int leaving = x + r - 1 - reach[i], entering = x + r + reach[i];
              const int kl = bandRows[i][leaving], ke = bandRows[i][entering];
              int16_t* count = bins.count[i & 1];
              uint64_t* sum = bins.sum[i & 1];
              --count[kl];
              sum[kl] -= Packed(rgbRows[i] + 3 * leaving);
              ++count[ke];
              sum[ke] += Packed(rgbRows[i] + 3 * entering);
            }
          const int best = FullestBand(bins, bands);
          const int n = bins.count[0][best] + bins.count[1][best];
          const uint64_t sum = bins.sum[0][best] + bins.sum[1][best];
          const double inv = inverse[size_t(n)];
          const uint8_t colour[3] = {RoundedMean(sum & kField, n, inv),
                                     RoundedMean(sum >> 21 & kField, n, inv),
                                     RoundedMean(sum >> 42, n, inv)};
          for (int c = 0; c < 3; ++c)
            out[3 * x + c] =
                keepDetail ? uint8_t((colour[c] + original[3 * x + c] + 1) >> 1) : colour[c];
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
