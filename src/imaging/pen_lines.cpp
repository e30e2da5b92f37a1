#include "imaging/pen_lines.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace imaging {

namespace {

constexpr int kSub = 16;    // sub-pixel steps a pixel in the points
constexpr int kFine = 256;  // steps a pixel of the line's position across its columns

// a / b rounded down, for b > 0.
template <typename T>
T FloorDiv(T a, T b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Mixes colour into the pixel at (x, y) by weight / 256, if it lies on the picture.
inline void Mix(cv::Mat& rgb, int x, int y, int weight, const uint8_t colour[3]) {
  if (weight <= 0 || x < 0 || y < 0 || x >= rgb.cols || y >= rgb.rows) return;
  uint8_t* p = rgb.ptr<uint8_t>(y) + 3 * x;
  for (int c = 0; c < 3; ++c) p[c] = uint8_t(p[c] + (((colour[c] - p[c]) * weight + 128) >> 8));
}

// One segment from (a0, b0) to (a1, b1) along its major axis a (the minor b), both in
// sixteenths: every a-step whose centre lies in [a0, a1) mixes the two pixels either side of
// the line's b there. put(a, b, weight) mixes one pixel.
template <typename T, typename Put>
void Segment(int a0, int b0, int a1, int b1, Put put) {
  if (a0 > a1) std::swap(a0, a1), std::swap(b0, b1);
  const T da = T(a1) - a0, db = T(b1) - b0;
  if (da == 0) return;
  // Steps whose centre (a + 1/2 pixel) lies in [a0, a1).
  const int first = FloorDiv(a0 - kSub / 2 + kSub - 1, kSub);
  const int end = FloorDiv(a1 - kSub / 2 + kSub - 1, kSub);
  if (first >= end) return;
  // The ink of a step: the line's length across it (up to the square root of 2), in 256ths.
  const float slope = float(db) / float(da);
  const int ink = int(256 * std::sqrt(1 + slope * slope) + 0.5f);
  // The line's b at a step's centre, in 256ths of a pixel less half a pixel and counted from
  // the pixel row `base` of b0, is floor(n / da) for n = (r da + (centre - a0) db) 256 / 16 -
  // da 128, r = b0 - 16 base: kept as a quotient and a remainder that each step advances by
  // 256 db / da exactly. Every term is a difference, so the pixels do not depend on where the
  // picture's rows are counted from.
  constexpr T kScale = kFine / kSub;
  const int base = b0 >> 4;
  const T n =
      (T(b0 - base * kSub) * da + T(first * kSub + kSub / 2 - a0) * db) * kScale - da * (kFine / 2);
  T q = FloorDiv(n, da), r = n - q * da;
  const T stepQ = FloorDiv(T(kFine) * db, da), stepR = T(kFine) * db - stepQ * da;
  for (int a = first; a < end; ++a) {
    // The pixel above and the one below the line share the ink by their distance to it.
    const int low = base + int(q >> 8);
    const int frac = int(q & (kFine - 1));
    put(a, low, std::min(256, ((kFine - frac) * ink) >> 8));
    put(a, low + 1, std::min(256, (frac * ink) >> 8));
    q += stepQ, r += stepR;
    if (r >= da) ++q, r -= da;
  }
}

// The segment in 32-bit arithmetic where its extent allows (every one a pen path draws).
template <typename Put>
void AnySegment(int a0, int b0, int a1, int b1, Put put) {
  constexpr int kNarrow = 1 << 20;  // keeps n within 32 bits
  if (std::abs(a1 - a0) < kNarrow && std::abs(b1 - b0) < kNarrow)
    Segment<int32_t>(a0, b0, a1, b1, put);
  else
    Segment<int64_t>(a0, b0, a1, b1, put);
}

}  // namespace

void DrawPenLine(cv::Mat& rgb, int originY, const cv::Point* points, std::size_t count,
                 const uint8_t colour[3]) {
  const int shift = originY * kSub;
  // Segments wholly a pixel or more above or below the picture touch none of its rows.
  const int above = -kSub, below = (rgb.rows + 1) * kSub;
  for (std::size_t i = 0; i + 1 < count; ++i) {
    const int x0 = points[i].x, y0 = points[i].y - shift;
    const int x1 = points[i + 1].x, y1 = points[i + 1].y - shift;
    if (std::max(y0, y1) < above || std::min(y0, y1) >= below) continue;
    if (std::abs(x1 - x0) >= std::abs(y1 - y0))
      AnySegment(x0, y0, x1, y1, [&](int x, int y, int weight) { Mix(rgb, x, y, weight, colour); });
    else
      AnySegment(y0, x0, y1, x1, [&](int y, int x, int weight) { Mix(rgb, x, y, weight, colour); });
  }
}

}  // namespace imaging
