#include "imaging/directional_blurs.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/filter_frame.h"

namespace imaging {

namespace {

constexpr int kMaxSamples = 48;
constexpr double kDegrees = std::numbers::pi / 180.0;

bool Finite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// Averages, for every pixel, the picture at the positions path(x, y, t) for samples t spread
// evenly over [t0, t1], weighted by weight(t). count(x, y) says how many samples the pixel needs
// (the path's length in pixels, at least one). Nearest pixels or bilinear interpolation; the
// border repeats.
template <typename Path, typename Count, typename Weight>
void PathBlur(const cv::Mat& in, cv::Mat& out, bool bilinear, double t0, double t1, Path path,
              Count count, Weight weight) {
  const int w = in.cols, h = in.rows, n = in.channels();
  out.create(in.size(), in.type());
  ForEachRowBand(h, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      uint8_t* d = out.ptr<uint8_t>(y);
      for (int x = 0; x < w; ++x) {
        const int samples = std::clamp(count(x, y), 1, kMaxSamples);
        double sum[4] = {}, total = 0;
        for (int k = 0; k < samples; ++k) {
          const double t = samples == 1 ? (t0 + t1) / 2 : t0 + (t1 - t0) * k / (samples - 1);
          const double wk = weight(t);
          double px, py;
          path(x, y, t, &px, &py);
          total += wk;
          if (!bilinear) {
            const int sx = std::clamp(int(std::lround(px)), 0, w - 1);
            const int sy = std::clamp(int(std::lround(py)), 0, h - 1);
            const uint8_t* s = in.ptr<uint8_t>(sy) + size_t(sx) * n;
            for (int c = 0; c < n; ++c) sum[c] += wk * s[c];
            continue;
          }
          const double fx = std::floor(px), fy = std::floor(py);
          const double ax = px - fx, ay = py - fy;
          const int x0 = std::clamp(int(fx), 0, w - 1), x1 = std::clamp(int(fx) + 1, 0, w - 1);
          const int y0 = std::clamp(int(fy), 0, h - 1), y1 = std::clamp(int(fy) + 1, 0, h - 1);
          const uint8_t* r0 = in.ptr<uint8_t>(y0);
          const uint8_t* r1 = in.ptr<uint8_t>(y1);
          for (int c = 0; c < n; ++c) {
            const double top = r0[x0 * n + c] + (r0[x1 * n + c] - r0[x0 * n + c]) * ax;
            const double bottom = r1[x0 * n + c] + (r1[x1 * n + c] - r1[x0 * n + c]) * ax;
            sum[c] += wk * (top + (bottom - top) * ay);
          }
        }
        for (int c = 0; c < n; ++c) d[x * n + c] = ClampByte(sum[c] / total);
      }
    }
  });
}

double Even(double) { return 1.0; }

// A straight stroke of length pixels through each pixel at angle degrees, drawn as a line kernel
// so that OpenCV's convolution does the sums.
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
  cv::filter2D(in, out, -1, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
}

// A trail of length pixels behind each pixel along (dx, dy), the weight falling linearly to a
// fifth at its end; the samples between pixels are spread bilinearly over the kernel, so that
// OpenCV's convolution does the sums.
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
  cv::filter2D(in, out, -1, kernel, cv::Point(reach, reach), 0, cv::BORDER_REPLICATE);
}

template <typename Make>
int32_t Run(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
            uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, Make make) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes, &p))
    return 0;
  try {
    cv::Mat result;
    make(p.in, result);
    result.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

// Spin about (cx, cy) through the arc angleRadians, centred on the pixel.
void Spin(const cv::Mat& in, cv::Mat& out, bool bilinear, double angleRadians, double cx,
          double cy) {
  PathBlur(
      in, out, bilinear, -0.5, 0.5,
      [&](int x, int y, double t, double* px, double* py) {
        const double a = t * angleRadians, c = std::cos(a), s = std::sin(a);
        const double rx = x - cx, ry = y - cy;
        *px = cx + rx * c - ry * s;
        *py = cy + rx * s + ry * c;
      },
      [&](int x, int y) { return int(std::hypot(x - cx, y - cy) * angleRadians) + 1; }, Even);
}

// Zoom: the ray from the pixel a share of the way towards (cx, cy).
void Zoom(const cv::Mat& in, cv::Mat& out, bool bilinear, double share, double cx, double cy) {
  PathBlur(
      in, out, bilinear, 0.0, share,
      [&](int x, int y, double t, double* px, double* py) {
        *px = x + (cx - x) * t;
        *py = y + (cy - y) * t;
      },
      [&](int x, int y) { return int(std::hypot(x - cx, y - cy) * share) + 1; }, Even);
}

}  // namespace

int32_t ISE40_BlurImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t passes) {
  return Run(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
             [&](const cv::Mat& in, cv::Mat& out) {
               in.copyTo(out);
               for (uint32_t i = 0; i < std::clamp<uint32_t>(passes, 1, 32); ++i)
                 cv::blur(out, out, cv::Size(3, 3), cv::Point(-1, -1), cv::BORDER_REPLICATE);
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
                 LineBlur(in, out, std::clamp(amount, 0.0, 500.0), angle);
               else if (mode == 1)
                 Spin(in, out, false, std::clamp(amount, 0.0, 360.0) * kDegrees, cx, cy);
               else
                 Zoom(in, out, false, std::clamp(amount, 0.0, 1.0), cx, cy);
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
               TrailBlur(in, out, length, dx, dy);
             });
}

int32_t is5_RadialBlur(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double angle,
                       double centreX, double centreY) {
  if (!Finite({angle, centreX, centreY})) return 0;
  return Run(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
             [&](const cv::Mat& in, cv::Mat& out) {
               Spin(in, out, true, std::clamp(angle, 0.0, 360.0) * kDegrees, centreX, centreY);
             });
}

int32_t is5_ZoomBlur(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                     uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double amount,
                     double centreX, double centreY) {
  if (!Finite({amount, centreX, centreY})) return 0;
  return Run(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes,
             [&](const cv::Mat& in, cv::Mat& out) {
               Zoom(in, out, true, std::clamp(amount, 0.0, 1.0), centreX, centreY);
             });
}

}  // namespace imaging
