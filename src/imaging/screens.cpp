// Dot screens: stipple and halftone.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstring>
#include <opencv2/core.hpp>
#include <vector>

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"

namespace imaging {

namespace {

// A pixel's grey weighed by the eye's sensitivity, 0..65280.
inline int GreyWeight(const uint8_t* s) { return 77 * s[0] + 150 * s[1] + 29 * s[2]; }

inline double Darkness(const uint8_t* s) { return 1.0 - GreyWeight(s) / (256.0 * 255.0); }

// The stipple's ink for every grey weight: darkness to the power 1.3, which keeps the light
// tones open and lets the dots crowd only in the shadows. Made once; pow is the slow part.
const std::vector<double>& StippleInkCurve() {
  static const std::vector<double> curve = [] {
    std::vector<double> values(65281);
    for (int g = 0; g <= 65280; ++g) values[size_t(g)] = std::pow(1.0 - g / (256.0 * 255.0), 1.3);
    return values;
  }();
  return curve;
}

}  // namespace

int32_t ISE3Stipple(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                    void* dst, uint32_t dstRowBytes, uint32_t density, int32_t dotStyle,
                    int32_t dotSize) {
  const int cell = std::clamp(dotSize, 0, 7) + 1;
  const double ink = std::min<uint32_t>(density, 100) / 50.0;
  const bool black = dotStyle == 1;
  const double radius = cell / 2.0;
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  const std::vector<double>* curve;
  try {
    curve = &StippleInkCurve();
  } catch (...) {
    return 0;
  }
  const cv::Mat& in = p.in;
  const int w = int(width);
  return EachRGB24Row(src, width, height, srcRowBytes, dst, dstRowBytes,
                      [&](int y, const uint8_t* s, uint8_t* d) {
                        // Each cell of the dot grid holds at most one dot, drawn when the cell's
                        // random number falls below the ink wanted at the cell's centre. The
                        // dot's round outline is the same in every cell of a row.
                        const int cy = y / cell;
                        const int sy = std::min(cy * cell + cell / 2, in.rows - 1);
                        const uint8_t* centres = in.ptr<uint8_t>(sy);
                        const double ey = y - (cy * cell + radius - 0.5);
                        bool inside[8];
                        for (int i = 0; i < cell; ++i) {
                          const double ex = i - (radius - 0.5);
                          inside[i] = cell <= 2 || ex * ex + ey * ey <= radius * radius;
                        }
                        for (int x0 = 0, cx = 0; x0 < w; x0 += cell, ++cx) {
                          const int sx = std::min(cx * cell + cell / 2, w - 1);
                          const double wanted = (*curve)[GreyWeight(centres + 3 * sx)] * ink;
                          const bool dot = HashUnit(uint32_t(cx), uint32_t(cy), 0x5717u) < wanted;
                          const int count = std::min(w - x0, cell);
                          uint8_t* o = d + 3 * x0;
                          if (!dot) {
                            std::memset(o, 255, size_t(count) * 3);
                            continue;
                          }
                          const uint8_t* from = s + 3 * x0;
                          for (int i = 0; i < count; ++i, o += 3, from += 3)
                            for (int c = 0; c < 3; ++c)
                              o[c] = !inside[i] ? 255 : black ? 0 : uint8_t(from[c] * 3 / 4);
                        }
                      });
}

int32_t ISE3HalftoneImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                          void* dst, uint32_t dstRowBytes, uint32_t cellSize, double angle,
                          uint32_t mode) {
  if (!std::isfinite(angle) || mode > 1) return 0;
  const double cell = std::clamp<uint32_t>(cellSize, 2, 64);
  // A screen turned by its angle: a pixel's place in cell units is u = (x cos + y sin) / cell,
  // v = (y cos - x sin) / cell, kept in fixed point with 32 fraction bits so that stepping one
  // pixel right is one addition and the cell is the integer part.
  struct Screen {
    double c, s;
    int64_t stepU, stepV;
  };
  constexpr double kOne = 4294967296.0;
  Screen screens[3];
  const double offsets[3] = {15, 75, 0};
  for (int k = 0; k < 3; ++k) {
    const double a = (angle + (mode == 0 ? offsets[k] : 45.0)) * std::numbers::pi / 180;
    const double c = std::cos(a), s = std::sin(a);
    screens[k] = {c, s, std::llround(c / cell * kOne), std::llround(-s / cell * kOne)};
  }
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  const cv::Mat& in = p.in;
  const int w = int(width), screenCount = mode == 1 ? 1 : 3;
  return EachRGB24Row(
      src, width, height, srcRowBytes, dst, dstRowBytes, [&](int y, const uint8_t*, uint8_t* d) {
        for (int k = 0; k < screenCount; ++k) {
          const Screen& sc = screens[k];
          int64_t u = std::llround(y * sc.s / cell * kOne);
          int64_t v = std::llround(y * sc.c / cell * kOne);
          // The cell last met and the squared radius of its dot, in units of
          // 2^-32 cell^2. Neighbouring pixels mostly share a cell.
          int64_t cellU = INT64_MIN, cellV = INT64_MIN;
          uint64_t reach = 0;
          uint8_t* o = d + k;
          for (int x = 0; x < w; ++x, u += sc.stepU, v += sc.stepV, o += 3) {
            const int64_t iu = u >> 32, iv = v >> 32;
            if (iu != cellU || iv != cellV) {
              cellU = iu, cellV = iv;
              // The ink at the cell's centre: a dot of area ink x cell^2 has
              // the squared radius ink / pi cells.
              const double fu = double(iu) + 0.5, fv = double(iv) + 0.5;
              const double px = (fu * sc.c - fv * sc.s) * cell, py = (fu * sc.s + fv * sc.c) * cell;
              const int sx = std::clamp(int(px), 0, in.cols - 1),
                        sy = std::clamp(int(py), 0, in.rows - 1);
              const uint8_t* centre = in.ptr<uint8_t>(sy) + 3 * sx;
              // Black only: the darkness; otherwise cyan takes red away, magenta
              // green, yellow blue.
              const double ink = mode == 1 ? Darkness(centre) : 1.0 - centre[k] / 255.0;
              reach = uint64_t(ink / std::numbers::pi * kOne);
            }
            // The distance from the cell's middle in units of 2^-16 cell.
            const int64_t du = int64_t(uint32_t(u) >> 16) - 32768,
                          dv = int64_t(uint32_t(v) >> 16) - 32768;
            *o = uint64_t(du * du + dv * dv) < reach ? 0 : 255;
          }
        }
        if (mode == 1)
          for (int x = 0; x < w; ++x) d[3 * x + 1] = d[3 * x + 2] = d[3 * x];
      });
}

}  // namespace imaging
