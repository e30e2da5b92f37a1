// Oil paint by a sliding brightness histogram: moving the brush one pixel to the right takes one
// pixel out and puts one in on each of its rows, so the cost per pixel grows with the brush's
// height, not its area.
#include <algorithm>
#include <cstring>
#include <opencv2/core.hpp>
#include <vector>

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"

namespace imaging {

namespace {

constexpr int kMaxBands = 64;

// Counts fit 16 bits (a brush holds at most 65 x 65 pixels), which lets the search for the
// fullest band run eight bands to an instruction.
struct Bins {
  alignas(16) int16_t count[kMaxBands];
  int32_t red[kMaxBands], green[kMaxBands], blue[kMaxBands];
};

// The fullest band, the darker of equals.
inline int FullestBand(const int16_t* count, int bands) {
  int16_t most = 0;
  for (int k = 0; k < kMaxBands; ++k) most = std::max(most, count[k]);
  int k = 0;
  while (count[k] != most) ++k;
  return k < bands ? k : 0;
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
    for (int y = 0; y < padded.rows; ++y) {
      const uint8_t* s = padded.ptr<uint8_t>(y);
      uint8_t* b = band.ptr<uint8_t>(y);
      for (int x = 0; x < padded.cols; ++x, s += 3)
        b[x] = uint8_t(((77 * s[0] + 150 * s[1] + 29 * s[2]) >> 8) * bands >> 8);
    }
    // Half-widths of the brush on each of its rows.
    std::vector<int> reach(2 * r + 1);
    for (int dy = -r; dy <= r; ++dy) {
      int half = r;
      if (flags & 1)
        while (half > 0 && half * half + dy * dy > r * r + r) --half;
      reach[dy + r] = half;
    }
    const bool keepDetail = flags & 2;
    cv::Mat result(p.in.size(), p.in.type());
    ForEachRowBand(h, [&](int begin, int end) {
      Bins bins;
      auto add = [&](int px, int py, int sign) {
        const uint8_t* s = padded.ptr<uint8_t>(py) + 3 * px;
        const int k = band.ptr<uint8_t>(py)[px];
        bins.count[k] = int16_t(bins.count[k] + sign);
        bins.red[k] += sign * s[0];
        bins.green[k] += sign * s[1];
        bins.blue[k] += sign * s[2];
      };
      for (int y = begin; y < end; ++y) {
        std::memset(&bins, 0, sizeof bins);
        // Padded coordinates: the output pixel (x, y) sits at (x + r, y + r).
        for (int dy = -r; dy <= r; ++dy)
          for (int dx = -reach[dy + r]; dx <= reach[dy + r]; ++dx) add(r + dx, y + r + dy, 1);
        const uint8_t* original = p.in.ptr<uint8_t>(y);
        uint8_t* out = result.ptr<uint8_t>(y);
        for (int x = 0; x < w; ++x) {
          if (x > 0)
            for (int dy = -r; dy <= r; ++dy) {
              const int half = reach[dy + r];
              add(x + r - 1 - half, y + r + dy, -1);
              add(x + r + half, y + r + dy, 1);
            }
          const int best = FullestBand(bins.count, bands);
          const int n = bins.count[best];
          uint8_t colour[3] = {uint8_t((bins.red[best] + n / 2) / n),
                               uint8_t((bins.green[best] + n / 2) / n),
                               uint8_t((bins.blue[best] + n / 2) / n)};
          for (int c = 0; c < 3; ++c)
            out[3 * x + c] = keepDetail ? uint8_t((colour[c] + original[3 * x + c] + 1) >> 1) : colour[c];
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
