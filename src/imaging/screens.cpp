// Dot screens: stipple and halftone.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <opencv2/core.hpp>

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"

namespace imaging {

namespace {

template <typename Pixel>
int32_t EachPixel(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                  void* dst, uint32_t dstRowBytes, Pixel pixel) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  try {
    cv::Mat result(p.in.size(), p.in.type());
    ForEachRowBand(p.in.rows, [&](int begin, int end) {
      for (int y = begin; y < end; ++y)
        for (int x = 0; x < p.in.cols; ++x) pixel(p.in, x, y, result.ptr<uint8_t>(y) + 3 * x);
    });
    result.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

inline double Darkness(const uint8_t* s) {
  return 1.0 - (77 * s[0] + 150 * s[1] + 29 * s[2]) / (256.0 * 255.0);
}

}  // namespace

int32_t ISE3Stipple(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                    void* dst, uint32_t dstRowBytes, uint32_t density, int32_t dotStyle,
                    int32_t dotSize) {
  const int cell = std::clamp(dotSize, 0, 7) + 1;
  const double ink = std::min<uint32_t>(density, 100) / 50.0;
  const bool black = dotStyle == 1;
  const double radius = cell / 2.0;
  return EachPixel(src, width, height, srcRowBytes, dst, dstRowBytes,
                   [&](const cv::Mat& in, int x, int y, uint8_t* d) {
                     // Each cell of the dot grid holds at most one dot, drawn when the cell's
                     // random number falls below the ink wanted at the cell's centre.
                     const int cx = x / cell, cy = y / cell;
                     const int sx = std::min(cx * cell + cell / 2, in.cols - 1);
                     const int sy = std::min(cy * cell + cell / 2, in.rows - 1);
                     const uint8_t* centre = in.ptr<uint8_t>(sy) + 3 * sx;
                     const double wanted = std::pow(Darkness(centre), 1.3) * ink;
                     const bool dot = HashUnit(uint32_t(cx), uint32_t(cy), 0x5717u) < wanted;
                     const double ex = x - (cx * cell + radius - 0.5), ey = y - (cy * cell + radius - 0.5);
                     if (!dot || (cell > 2 && ex * ex + ey * ey > radius * radius)) {
                       d[0] = d[1] = d[2] = 255;
                       return;
                     }
                     const uint8_t* s = in.ptr<uint8_t>(y) + 3 * x;
                     for (int c = 0; c < 3; ++c) d[c] = black ? 0 : uint8_t(s[c] * 3 / 4);
                   });
}

int32_t ISE3HalftoneImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                          void* dst, uint32_t dstRowBytes, uint32_t cellSize, double angle,
                          uint32_t mode) {
  if (!std::isfinite(angle) || mode > 1) return 0;
  const double cell = std::clamp<uint32_t>(cellSize, 2, 64);
  struct Screen {
    double c, s;
  };
  Screen screens[3];
  const double offsets[3] = {15, 75, 0};
  for (int k = 0; k < 3; ++k) {
    const double a = (angle + (mode == 0 ? offsets[k] : 45.0)) * std::numbers::pi / 180;
    screens[k] = {std::cos(a), std::sin(a)};
  }
  return EachPixel(src, width, height, srcRowBytes, dst, dstRowBytes,
                   [&](const cv::Mat& in, int x, int y, uint8_t* d) {
                     // Coverage of screen k at (x, y): the pixel's place in its turned cell, the
                     // ink at the cell's centre, and a dot of that area (radius from area).
                     auto covered = [&](int k, auto inkAt) {
                       const Screen& sc = screens[k];
                       const double u = (x * sc.c + y * sc.s) / cell, v = (-x * sc.s + y * sc.c) / cell;
                       const double fu = std::floor(u) + 0.5, fv = std::floor(v) + 0.5;
                       const double px = (fu * sc.c - fv * sc.s) * cell, py = (fu * sc.s + fv * sc.c) * cell;
                       const int sx = std::clamp(int(px), 0, in.cols - 1), sy = std::clamp(int(py), 0, in.rows - 1);
                       const double ink = inkAt(in.ptr<uint8_t>(sy) + 3 * sx);
                       const double du = u - fu, dv = v - fv;
                       // A dot of area ink x cell^2: radius sqrt(ink / pi) cells.
                       return du * du + dv * dv < ink / std::numbers::pi;
                     };
                     if (mode == 1) {
                       const bool dot = covered(0, [](const uint8_t* s) { return Darkness(s); });
                       d[0] = d[1] = d[2] = dot ? 0 : 255;
                       return;
                     }
                     // Cyan takes red away, magenta green, yellow blue.
                     for (int c = 0; c < 3; ++c)
                       d[c] = covered(c, [c](const uint8_t* s) { return 1.0 - s[c] / 255.0; }) ? 0 : 255;
                   });
}

}  // namespace imaging
