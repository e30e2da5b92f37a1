// Oil paint by a sliding brightness histogram: moving the brush one pixel to the right takes one
// pixel out and puts one in on each of its rows, so the cost per pixel grows with the brush's
// height, not its area. Each band of output rows keeps only the brush's rows in a small ring,
// made from the picture as the brush moves down, so no copy of the whole picture is made.
#include <algorithm>
#include <cstring>
#include <opencv2/core.hpp>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"

namespace imaging {

namespace {

constexpr int kMaxBands = 64;

// A band's colour sums packed into one word, so that one addition updates all three: no field
// ever carries into the next. Brushes up to 25 x 25 pixels (625 * 255 < 2^18) take 18 bits a
// channel and count their bands in keys (below); larger ones (up to 65 x 65,
// 65 * 65 * 255 < 2^21) take 21 bits a channel and plain counts.
struct NarrowSums {
  static constexpr int kBits = 18;
  static constexpr bool kKeyed = true;
  static constexpr int kMaxRadius = 12;
};
struct WideSums {
  static constexpr int kBits = 21;
  static constexpr bool kKeyed = false;
};

template <typename Sums>
inline uint64_t Packed(const uint8_t* s) {
  return uint64_t(s[0]) | uint64_t(s[1]) << Sums::kBits | uint64_t(s[2]) << 2 * Sums::kBits;
}
template <typename Sums>
inline int Channel(uint64_t sum, int c) {
  return int(sum >> (c * Sums::kBits) & ((uint64_t(1) << Sums::kBits) - 1));
}

// The brightness band of a pixel: its grey (0..255) cut into `bands` equal parts.
inline uint8_t BandOf(const uint8_t* s, int bands) {
  return uint8_t(((77 * s[0] + 150 * s[1] + 29 * s[2]) >> 8) * bands >> 8);
}

// The brush's histogram. Small brushes keep one key a band: its count times 64 plus 63 less its
// number, so that the largest key names the fullest band and, among equals, the darkest (counts
// up to 625 keep keys below 2^16); the sums sit in sum[0]. Large brushes keep counts and sums in
// two halves, one for the brush's even rows and one for its odd rows.
struct Bins {
  alignas(16) uint16_t key[kMaxBands];
  alignas(16) int16_t count[2][kMaxBands];
  uint64_t sum[2][kMaxBands];
};
constexpr int kKeyStep = 64;
// Small brushes' packed colours carry their band in the top six bits, above the sums' fields.
constexpr int kBandShift = 58;

// Empty bins: every key holds only its band's rank.
inline void Empty(Bins& bins) {
  std::memset(&bins, 0, sizeof bins);
  for (int k = 0; k < kMaxBands; ++k) bins.key[k] = uint16_t(kKeyStep - 1 - k);
}

// The fullest band, the darker of equals, and its count, from the keys.
inline void FullestBandByKeys(const Bins& bins, int scan, int* best, int* count) {
#if defined(__SSE2__)
  // Keys as unsigned 16-bit numbers, compared as signed ones after flipping the top bit.
  const __m128i flip = _mm_set1_epi16(int16_t(0x8000));
  __m128i most = flip;
  for (int k = 0; k < scan; k += 8)
    most = _mm_max_epi16(
        most, _mm_xor_si128(_mm_load_si128(reinterpret_cast<const __m128i*>(&bins.key[k])), flip));
  most = _mm_max_epi16(most, _mm_shuffle_epi32(most, _MM_SHUFFLE(1, 0, 3, 2)));
  most = _mm_max_epi16(most, _mm_shuffle_epi32(most, _MM_SHUFFLE(2, 3, 0, 1)));
  most = _mm_max_epi16(most, _mm_shufflelo_epi16(most, _MM_SHUFFLE(2, 3, 0, 1)));
  const int key = (_mm_cvtsi128_si32(most) ^ 0x8000) & 0xFFFF;
#else
  int key = 0;
  for (int k = 0; k < scan; ++k) key = std::max(key, int(bins.key[k]));
#endif
  *best = kKeyStep - 1 - (key & (kKeyStep - 1));
  *count = key / kKeyStep;
}

// The same for the large brushes, from the counts: the first fullest band.
inline void FullestBandByCounts(const Bins& bins, int scan, int* best, int* count) {
  int most = 0, at = 0;
  for (int k = 0; k < scan; ++k) {
    const int total = bins.count[0][k] + bins.count[1][k];
    if (total > most) most = total, at = k;
  }
  *best = at;
  *count = most;
}

// (sum + n / 2) / n in integers, by a multiplication: with m = ceil(2^40 / n), x m / 2^40
// exceeds x / n by x (m n - 2^40) / (n 2^40) < x / 2^40, less than 1 / n for every x below 2^21
// and n up to 4225, so its whole part is the quotient's.
constexpr int kReciprocalShift = 40;
inline uint8_t RoundedMean(uint64_t sum, int n, uint64_t reciprocal) {
  return uint8_t((sum + uint64_t(n >> 1)) * reciprocal >> kReciprocalShift);
}

// The brush: its radius and side, the number of brightness bands, whether the original's
// detail is mixed back, the half-width of each of its rows, and 2^40 / n for every count it holds.
struct Brush {
  int r, side, bands;
  bool keepDetail;
  const std::vector<int>& reach;
  const std::vector<uint64_t>& reciprocal;
};

// The output rows begin..end - 1: the brush's histogram built at each row's start and slid along
// it. The brush's rows live in a ring of `side` rows of packed colours and bands, in padded
// coordinates (the picture's border repeated r pixels out): moving down one row makes only the
// row that enters.
template <typename Sums>
void PaintRows(const cv::Mat& in, int begin, int end, const Brush& brush, cv::Mat& result) {
  const int r = brush.r, side = brush.side, bands = brush.bands, w = in.cols, h = in.rows;
  const int paddedWidth = w + 2 * r;
  const int scan = std::min(kMaxBands, (bands + 7) & ~7);
  std::vector<uint64_t> colours(size_t(side) * paddedWidth);
  std::vector<uint8_t> bandRing(size_t(side) * paddedWidth);
  auto make = [&](int paddedRow) {
    const uint8_t* s = in.ptr<uint8_t>(std::clamp(paddedRow - r, 0, h - 1));
    uint64_t* c = &colours[size_t(paddedRow % side) * paddedWidth];
    uint8_t* b = &bandRing[size_t(paddedRow % side) * paddedWidth];
    for (int x = 0; x < w; ++x, s += 3) {
      b[r + x] = BandOf(s, bands);
      c[r + x] = Packed<Sums>(s);
      if constexpr (Sums::kKeyed) c[r + x] |= uint64_t(b[r + x]) << kBandShift;
    }
    std::fill(c, c + r, c[r]);
    std::fill(b, b + r, b[r]);
    std::fill(c + r + w, c + paddedWidth, c[r + w - 1]);
    std::fill(b + r + w, b + paddedWidth, b[r + w - 1]);
  };
  for (int i = 0; i < side - 1; ++i) make(begin + i);
  // Per brush row: where its leaving and entering pixels lie for the output column 0.
  struct Edge {
    const uint8_t *leavingBand, *enteringBand;
    const uint64_t *leavingColour, *enteringColour;
  };
  std::vector<Edge> edges(static_cast<size_t>(side));
  Bins bins;
  for (int y = begin; y < end; ++y) {
    make(y + side - 1);
    Empty(bins);
    // Padded coordinates: the output pixel (x, y) sits at (x + r, y + r).
    for (int i = 0; i < side; ++i) {
      const uint64_t* colourRow = &colours[size_t((y + i) % side) * paddedWidth];
      const uint8_t* bandRow = &bandRing[size_t((y + i) % side) * paddedWidth];
      for (int px = r - brush.reach[i]; px <= r + brush.reach[i]; ++px) {
        const int k = bandRow[px];
        if constexpr (Sums::kKeyed) {
          bins.key[k] += kKeyStep;
          bins.sum[0][k] += colourRow[px];
        } else {
          ++bins.count[i & 1][k];
          bins.sum[i & 1][k] += colourRow[px];
        }
      }
      edges[i] = {bandRow + r - 1 - brush.reach[i], bandRow + r + brush.reach[i],
                  colourRow + r - 1 - brush.reach[i], colourRow + r + brush.reach[i]};
    }
    const uint8_t* original = in.ptr<uint8_t>(y);
    uint8_t* out = result.ptr<uint8_t>(y);
    for (int x = 0; x < w; ++x) {
      if (x > 0) {
        // One brush row: its leaving pixel out of its band, its entering pixel into its band.
        if constexpr (Sums::kKeyed) {
          for (const Edge& e : edges) {
            const uint64_t leaving = e.leavingColour[x], entering = e.enteringColour[x];
            const int kl = int(leaving >> kBandShift), ke = int(entering >> kBandShift);
            bins.key[kl] -= kKeyStep;
            bins.key[ke] += kKeyStep;
            bins.sum[0][kl] -= leaving;
            bins.sum[0][ke] += entering;
          }
        } else {
          for (int i = 0; i < side; ++i) {
            const Edge& e = edges[size_t(i)];
            const int kl = e.leavingBand[x], ke = e.enteringBand[x];
            --bins.count[i & 1][kl], ++bins.count[i & 1][ke];
            bins.sum[i & 1][kl] -= e.leavingColour[x];
            bins.sum[i & 1][ke] += e.enteringColour[x];
          }
        }
      }
      int best, n;
      if constexpr (Sums::kKeyed)
        FullestBandByKeys(bins, scan, &best, &n);
      else
        FullestBandByCounts(bins, scan, &best, &n);
      const uint64_t sum = bins.sum[0][best] + bins.sum[1][best];
      const uint64_t inv = brush.reciprocal[size_t(n)];
      const uint8_t colour[3] = {RoundedMean(Channel<Sums>(sum, 0), n, inv),
                                 RoundedMean(Channel<Sums>(sum, 1), n, inv),
                                 RoundedMean(Channel<Sums>(sum, 2), n, inv)};
      for (int c = 0; c < 3; ++c)
        out[3 * x + c] =
            brush.keepDetail ? uint8_t((colour[c] + original[3 * x + c] + 1) >> 1) : colour[c];
    }
  }
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
    // Half-widths of the brush on each of its rows.
    const int side = 2 * r + 1;
    std::vector<int> reach(side);
    for (int dy = -r; dy <= r; ++dy) {
      int half = r;
      if (flags & 1)
        while (half > 0 && half * half + dy * dy > r * r + r) --half;
      reach[dy + r] = half;
    }
    // 2^40 / n, rounded up, for every count a brush can hold.
    std::vector<uint64_t> reciprocal(size_t(side) * side + 1, 0);
    for (size_t n = 1; n < reciprocal.size(); ++n)
      reciprocal[n] = ((uint64_t(1) << kReciprocalShift) + n - 1) / n;
    const Brush brush{r, side, bands, (flags & 2) != 0, reach, reciprocal};
    // Rows go straight into the destination unless it shares bytes with the source, which the
    // brush still reads below and around each row.
    const bool direct = Apart(p.in, p.out);
    cv::Mat result = direct ? p.out : cv::Mat(p.in.size(), p.in.type());
    ForEachRowBand(p.in.rows, [&](int begin, int end) {
      if (r <= NarrowSums::kMaxRadius)
        PaintRows<NarrowSums>(p.in, begin, end, brush, result);
      else
        PaintRows<WideSums>(p.in, begin, end, brush, result);
    });
    if (!direct) result.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
