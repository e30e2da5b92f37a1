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

// A band's colour sums packed into one word, so that one addition updates all three: no field
// ever carries into the next. Brushes up to 25 x 25 pixels (625 * 255 < 2^18) take 18 bits a
// channel and keep the band's count in the top ten bits as well; larger ones (up to 65 x 65,
// 65 * 65 * 255 < 2^21) take 21 bits a channel and count apart.
struct NarrowSums {
  static constexpr int kBits = 18;
  static constexpr bool kCountInWord = true;
  static constexpr int kMaxRadius = 12;
};
struct WideSums {
  static constexpr int kBits = 21;
  static constexpr bool kCountInWord = false;
};
constexpr int kCountShift = 54;

template <typename Sums>
inline uint64_t Packed(const uint8_t* s) {
  const uint64_t colour =
      uint64_t(s[0]) | uint64_t(s[1]) << Sums::kBits | uint64_t(s[2]) << 2 * Sums::kBits;
  return Sums::kCountInWord ? colour | uint64_t(1) << kCountShift : colour;
}
template <typename Sums>
inline int Channel(uint64_t sum, int c) {
  return int(sum >> (c * Sums::kBits) & ((uint64_t(1) << Sums::kBits) - 1));
}

// Two histograms, one for the brush's even rows and one for its odd rows: consecutive updates
// of the same band (a flat area) then alternate between two words instead of waiting on one.
// Counts fit 16 bits, which lets the search for the fullest band run eight bands at a time.
struct Bins {
  alignas(32) int16_t count[2][kMaxBands];
  uint64_t sum[2][kMaxBands];
};

// The fullest band, the darker of equals.
template <typename Sums>
inline int FullestBand(const Bins& bins, int bands) {
  alignas(32) int16_t total[kMaxBands];
  int16_t most = 0;
  // Bands from `bands` up stay empty; the scan runs to the next multiple of eight.
  const int scan = std::min(kMaxBands, (bands + 7) & ~7);
  for (int k = 0; k < scan; ++k) {
    total[k] = Sums::kCountInWord
                   ? int16_t((bins.sum[0][k] >> kCountShift) + (bins.sum[1][k] >> kCountShift))
                   : int16_t(bins.count[0][k] + bins.count[1][k]);
    most = std::max(most, total[k]);
  }
  int k = 0;
  while (k + 1 < scan && total[k] != most) ++k;
  return k < bands ? k : 0;
}

// (sum + n / 2) / n in integers: the quotient's fraction is 0 or at least 1 / n >= 1 / 4225, far
// above the product's rounding error, so a small nudge before truncating gives the exact result.
inline uint8_t RoundedMean(uint64_t sum, int n, double inverse) {
  return uint8_t(int((double(sum) + (n >> 1)) * inverse + 1e-7));
}

// The brush: its radius and side, the number of brightness bands, whether the original's
// detail is mixed back, the half-width of each of its rows, and 1 / n for every count it holds.
struct Brush {
  int r, side, bands;
  bool keepDetail;
  const std::vector<int>& reach;
  const std::vector<double>& inverse;
};

// Every output row: the brush's histogram built at the row's start and slid along it.
template <typename Sums>
void PaintRows(const cv::Mat& in, const cv::Mat& padded, const cv::Mat& band, const Brush& brush,
               cv::Mat& result) {
  const int r = brush.r, side = brush.side, bands = brush.bands, w = in.cols;
  const bool keepDetail = brush.keepDetail;
  const std::vector<int>& reach = brush.reach;
  const std::vector<double>& inverse = brush.inverse;
ForEachRowBand(in.rows, [&](int begin, int end) {
    Bins bins;
    // The brush's rows as packed colours, kept in a ring: moving down one row packs only the
    // row that enters.
    const int paddedWidth = padded.cols;
    std::vector<uint64_t> ring(size_t(side) * paddedWidth);
    auto pack = [&](int paddedRow) {
      const uint8_t* s = padded.ptr<uint8_t>(paddedRow);
      uint64_t* to = &ring[size_t(paddedRow % side) * paddedWidth];
      for (int x = 0; x < paddedWidth; ++x, s += 3) to[x] = Packed<Sums>(s);
    };
    for (int i = 0; i < side - 1; ++i) pack(begin + i);
    std::vector<const uint64_t*> colourRows(side);
    std::vector<const uint8_t*> bandRows(side);
    for (int y = begin; y < end; ++y) {
      pack(y + side - 1);
      std::memset(&bins, 0, sizeof bins);
      for (int i = 0; i < side; ++i) {
        colourRows[i] = &ring[size_t((y + i) % side) * paddedWidth];
        bandRows[i] = band.ptr<uint8_t>(y + i);
      }
      // Padded coordinates: the output pixel (x, y) sits at (x + r, y + r).
      for (int i = 0; i < side; ++i)
        for (int px = r - reach[i]; px <= r + reach[i]; ++px) {
          const int k = bandRows[i][px];
          if (!Sums::kCountInWord) ++bins.count[i & 1][k];
          bins.sum[i & 1][k] += colourRows[i][px];
        }
      const uint8_t* original = in.ptr<uint8_t>(y);
      uint8_t* out = result.ptr<uint8_t>(y);
      for (int x = 0; x < w; ++x) {
        if (x > 0)
          for (int i = 0; i < side; ++i) {
            const int leaving = x + r - 1 - reach[i], entering = x + r + reach[i];
            const int kl = bandRows[i][leaving], ke = bandRows[i][entering];
            int16_t* count = bins.count[i & 1];
            uint64_t* sum = bins.sum[i & 1];
            if (!Sums::kCountInWord) --count[kl], ++count[ke];
            sum[kl] -= colourRows[i][leaving];
            sum[ke] += colourRows[i][entering];
          }
        const int best = FullestBand<Sums>(bins, bands);
        const uint64_t sum = bins.sum[0][best] + bins.sum[1][best];
        const int n = Sums::kCountInWord ? int(sum >> kCountShift)
                                         : bins.count[0][best] + bins.count[1][best];
        const double inv = inverse[size_t(n)];
        const uint8_t colour[3] = {RoundedMean(Channel<Sums>(sum, 0), n, inv),
                                   RoundedMean(Channel<Sums>(sum, 1), n, inv),
                                   RoundedMean(Channel<Sums>(sum, 2), n, inv)};
        for (int c = 0; c < 3; ++c)
          out[3 * x + c] =
              keepDetail ? uint8_t((colour[c] + original[3 * x + c] + 1) >> 1) : colour[c];
      }
    }
  });
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
    const Brush brush{r, side, bands, keepDetail, reach, inverse};
    if (r <= NarrowSums::kMaxRadius)
      PaintRows<NarrowSums>(p.in, padded, band, brush, result);
    else
      PaintRows<WideSums>(p.in, padded, band, brush, result);
    result.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
