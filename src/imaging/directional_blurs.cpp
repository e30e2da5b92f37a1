#include "imaging/directional_blurs.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/filter_frame.h"
#include "imaging/scratch.h"

namespace imaging {

namespace {

constexpr double kDegrees = std::numbers::pi / 180.0;

bool Finite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// The spin and zoom blurs average the picture under N = 2^n transforms T(a0 + j d), j < N, of
// one family that compose by adding their parameter (turns about a centre add angles, scalings
// about it multiply factors, which are added as logarithms). Instead of N samples a pixel, the
// sum is built by doubling: X = (T(a0) + T(a0 + d)) / 2 of the picture, then n - 1 times
// X = (X + T(2^k d) X) / 2, each pass one bilinear warp of the whole picture by OpenCV. Bytes
// between the passes: each average rounds to the nearest, and later passes halve what earlier
// roundings left, so the result stays within a level of the exact mean.
constexpr int kMaxDoublings = 6;  // 64 samples along the longest path

// The passes needed for a path of length pixels: one sample per pixel of path, at most 64.
int Doublings(double length) {
  int n = 0;
  while (n < kMaxDoublings && double(1 << n) < length) ++n;
  return n;
}

// The farthest a picture corner lies from (cx, cy).
double FarthestCorner(const cv::Mat& in, double cx, double cy) {
  const double xs[2] = {0, double(in.cols - 1)}, ys[2] = {0, double(in.rows - 1)};
  double far = 0;
  for (double x : xs)
    for (double y : ys) far = std::max(far, std::hypot(x - cx, y - cy));
  return far;
}

// to = (a + b) / 2 to the nearest, a half to the even neighbour (unbiased: the passes do not
// drift brighter), sample by sample. Eight samples at a time in a 64-bit word: the floor mean
// (a & b) + ((a ^ b) >> 1) per byte, plus one where a + b is odd and that floor is odd.
void Average(const cv::Mat& a, const cv::Mat& b, cv::Mat& to) {
  const int samples = a.cols * a.channels();
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full, kOnes = 0x0101010101010101ull;
  ForEachRowBand(a.rows, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const uint8_t* pa = a.ptr<uint8_t>(y);
      const uint8_t* pb = b.ptr<uint8_t>(y);
      uint8_t* d = to.ptr<uint8_t>(y);
      int i = 0;
      for (; i + 8 <= samples; i += 8) {
        uint64_t u, v;
        std::memcpy(&u, pa + i, 8);
        std::memcpy(&v, pb + i, 8);
        const uint64_t odd = u ^ v;
        const uint64_t floor = (u & v) + ((odd >> 1) & kLow7);
        const uint64_t mean = floor + (odd & floor & kOnes);
        std::memcpy(d + i, &mean, 8);
      }
      for (; i < samples; ++i) {
        const int sum = pa[i] + pb[i], half = sum >> 1;
        d[i] = uint8_t(half + (sum & half & 1));
      }
    }
  });
}

// warp(parameter) gives the 2 x 3 matrix taking an output position to the position read. The
// passes work in two scratch pictures (warm memory, no page faults); the last average goes
// straight into out when out lies apart from in.
template <typename Warp>
void AverageOfWarps(const cv::Mat& in, cv::Mat& out, int doublings, double first, double step,
                    Warp warp) {
  if (doublings == 0) {
    in.copyTo(out);
    return;
  }
  ScratchPicture pictures[3] = {
      {in.size(), in.type()}, {in.size(), in.type()}, {in.size(), in.type()}};
  cv::Mat* x = &pictures[0].mat();
  cv::Mat* moved = &pictures[1].mat();
  cv::Mat* next = &pictures[2].mat();
  const bool direct = Apart(in, out);
  auto warped = [&](const cv::Mat& from, cv::Mat& to, double parameter) {
    cv::warpAffine(from, to, cv::Mat(warp(parameter)), from.size(),
                   cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
  };
  // One doubling: x = (x + moved) / 2 through the third picture (or out, at the last).
  auto average = [&](bool last) {
    cv::Mat& to = last && direct ? out : *next;
    Average(*x, *moved, to);
    if (&to == next) std::swap(x, next);
  };
  warped(in, *x, first);
  warped(in, *moved, first + step);
  average(doublings == 1);
  for (int k = 1; k < doublings; ++k) {
    warped(*x, *moved, step * (1 << k));
    average(k + 1 == doublings);
  }
  if (!direct) x->copyTo(out);
}

// Convolution by a kernel that is mostly zeros (a stroke drawn into a square), with the border
// repeated: only the kernel's non-zero cells are visited, so a stroke of L pixels costs about L
// multiply-adds a sample instead of the square's (2L)^2. Sums in float, each output rounded to
// the nearest byte.
void SparseFilter(const cv::Mat& in, cv::Mat& out, const cv::Mat& kernel, cv::Point anchor) {
  struct Tap {
    int dx, dy;
    float weight;
  };
  std::vector<Tap> taps;
  for (int ky = 0; ky < kernel.rows; ++ky)
    for (int kx = 0; kx < kernel.cols; ++kx)
      if (const float k = kernel.at<float>(ky, kx); k != 0)
        taps.push_back({kx - anchor.x, ky - anchor.y, k});
  const int w = in.cols, h = in.rows, n = in.channels(), samples = w * n;
  ForEachRowBand(h, [&](int begin, int end) {
    std::vector<float> sums(static_cast<size_t>(samples));
    for (int y = begin; y < end; ++y) {
      std::fill(sums.begin(), sums.end(), 0.0f);
      for (const Tap& t : taps) {
        const uint8_t* row = in.ptr<uint8_t>(std::clamp(y + t.dy, 0, h - 1));
        // Columns whose source x + dx lies inside the row, then the repeated borders.
        const int first = std::clamp(-t.dx, 0, w), last = std::clamp(w - t.dx, first, w);
        float* acc = sums.data();
        const uint8_t* shifted = row + t.dx * n;
        for (int i = first * n; i < last * n; ++i) acc[i] += t.weight * float(shifted[i]);
        for (int x = 0; x < first; ++x)
          for (int c = 0; c < n; ++c) acc[x * n + c] += t.weight * float(row[c]);
        for (int x = last; x < w; ++x)
          for (int c = 0; c < n; ++c) acc[x * n + c] += t.weight * float(row[(w - 1) * n + c]);
      }
      uint8_t* d = out.ptr<uint8_t>(y);
      for (int i = 0; i < samples; ++i) d[i] = cv::saturate_cast<uint8_t>(sums[i]);
    }
  });
}

// A straight stroke of length pixels through each pixel at angle degrees, drawn as a line kernel
// and convolved through its non-zero cells.
void LineBlur(const cv::Mat& in, cv::Mat& out, double length, double angle) {
  const int half = int(std::ceil(length / 2));
  const int side = 2 * half + 1;
  cv::Mat kernel = cv::Mat::zeros(side, side, CV_32F);
  const int steps = std::max(1, int(std::ceil(length)) * 4);
  const double dx = std::cos(angle * kDegrees), dy = -std::sin(angle * kDegrees);
  for (int k = 0; k <= steps; ++k) {
    const double t = (double(k) / steps - 0.5) * length;
    const int kx = std::clamp(int(std::lround(half + t * dx)), 0, side - 1);
    const int ky = std::clamp(int(std::lround(half + t * dy)), 0, side - 1);
    kernel.at<float>(ky, kx) += 1.0f;
  }
  kernel /= cv::sum(kernel)[0];
  SparseFilter(in, out, kernel, cv::Point(half, half));
}

// A trail of length pixels behind each pixel along (dx, dy), the weight falling linearly to a
// fifth at its end; the samples between pixels are spread bilinearly over the kernel, and convolved
// through its non-zero cells.
void TrailBlur(const cv::Mat& in, cv::Mat& out, double length, double dx, double dy) {
  const int reach = int(std::ceil(length)) + 1;
  const int side = 2 * reach + 1;
  cv::Mat kernel = cv::Mat::zeros(side, side, CV_32F);
  const int steps = std::max(1, int(std::ceil(length)) * 2);
  for (int k = 0; k <= steps; ++k) {
    const double t = length * k / steps;
    const double weight = length > 0 ? 1.0 - 0.8 * t / length : 1.0;
    const double kx = reach + dx * t, ky = reach + dy * t;
    const int x0 = int(std::floor(kx)), y0 = int(std::floor(ky));
    const double ax = kx - x0, ay = ky - y0;
    auto add = [&](int x, int y, double w) {
      if (x >= 0 && y >= 0 && x < side && y < side) kernel.at<float>(y, x) += float(w);
    };
    add(x0, y0, weight * (1 - ax) * (1 - ay));
    add(x0 + 1, y0, weight * ax * (1 - ay));
    add(x0, y0 + 1, weight * (1 - ax) * ay);
    add(x0 + 1, y0 + 1, weight * ax * ay);
  }
  kernel /= cv::sum(kernel)[0];
  SparseFilter(in, out, kernel, cv::Point(reach, reach));
}

// Runs make(in, out) with out the destination picture: make writes it only once nothing can fail
// any more (a convolution builds its result aside through Aside).
template <typename Make>
int32_t Run(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
            uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, Make make) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes, &p))
    return 0;
  try {
    make(p.in, p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

// An OpenCV filter run into a scratch picture and then copied, so that a failure inside OpenCV
// leaves out untouched and out may be in.
template <typename Filter>
void Aside(const cv::Mat& in, cv::Mat& out, Filter filter) {
  ScratchPicture result(in.size(), in.type());
  filter(in, result.mat());
  result.mat().copyTo(out);
}

// Spin about (cx, cy) through the arc angleRadians, centred on the pixel: N turns spread evenly
// over the arc, each sample standing for an N-th of it.
void Spin(const cv::Mat& in, cv::Mat& out, double angleRadians, double cx, double cy) {
  const int n = Doublings(angleRadians * FarthestCorner(in, cx, cy));
  const double step = angleRadians / (1 << n);
  AverageOfWarps(in, out, n, -angleRadians / 2 + step / 2, step, [&](double a) {
    const double c = std::cos(a), s = std::sin(a);
    return cv::Matx23d(c, -s, cx - c * cx + s * cy, s, c, cy - s * cx - c * cy);
  });
}

// Zoom: the ray from the pixel a share of the way towards (cx, cy), sampled at scalings about the
// centre spaced evenly in their logarithm between 1 and 1 - share (a ray reaching the centre
// itself is cut at a twentieth of its length).
void Zoom(const cv::Mat& in, cv::Mat& out, double share, double cx, double cy) {
  const double s = std::min(share, 0.95);
  const int n = Doublings(s * FarthestCorner(in, cx, cy));
  const double step = std::log1p(-s) / (1 << n);
  AverageOfWarps(in, out, n, step / 2, step, [&](double logFactor) {
    const double f = std::exp(logFactor);
    return cv::Matx23d(f, 0, cx * (1 - f), 0, f, cy * (1 - f));
  });
}

}  // namespace

int32_t ISE40_BlurImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t passes) {
  return Run(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
             [&](const cv::Mat& in, cv::Mat& out) {
               Aside(in, out, [&](const cv::Mat& from, cv::Mat& result) {
                 from.copyTo(result);
                 for (uint32_t i = 0; i < std::clamp<uint32_t>(passes, 1, 32); ++i)
                   cv::blur(result, result, cv::Size(3, 3), cv::Point(-1, -1),
                            cv::BORDER_REPLICATE);
               });
             });
}

int32_t ISE3MotionBlur(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t mode,
                       double amount, double angle, double centreX, double centreY) {
  if (mode > 2 || !Finite({amount, angle, centreX, centreY})) return 0;
  const double cx = centreX * (double(width) - 1), cy = centreY * (double(height) - 1);
  return Run(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
             [&](const cv::Mat& in, cv::Mat& out) {
               if (mode == 0)
                 Aside(in, out, [&](const cv::Mat& from, cv::Mat& result) {
                   LineBlur(from, result, std::clamp(amount, 0.0, 500.0), angle);
                 });
               else if (mode == 1)
                 Spin(in, out, std::clamp(amount, 0.0, 360.0) * kDegrees, cx, cy);
               else
                 Zoom(in, out, std::clamp(amount, 0.0, 1.0), cx, cy);
             });
}

int32_t is5_MotionBlur(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double angle,
                       double distance) {
  if (!Finite({angle, distance})) return 0;
  const double length = std::clamp(distance, 0.0, 500.0);
  const double dx = -std::cos(angle * kDegrees), dy = std::sin(angle * kDegrees);
  return Run(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
             [&](const cv::Mat& in, cv::Mat& out) {
               Aside(in, out, [&](const cv::Mat& from, cv::Mat& result) {
                 TrailBlur(from, result, length, dx, dy);
               });
             });
}

int32_t is5_RadialBlur(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double angle,
                       double centreX, double centreY) {
  if (!Finite({angle, centreX, centreY})) return 0;
  return Run(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
             [&](const cv::Mat& in, cv::Mat& out) {
               Spin(in, out, std::clamp(angle, 0.0, 360.0) * kDegrees, centreX, centreY);
             });
}

int32_t is5_ZoomBlur(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                     uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double amount,
                     double centreX, double centreY) {
  if (!Finite({amount, centreX, centreY})) return 0;
  return Run(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
             [&](const cv::Mat& in, cv::Mat& out) {
               Zoom(in, out, std::clamp(amount, 0.0, 1.0), centreX, centreY);
             });
}

}  // namespace imaging
