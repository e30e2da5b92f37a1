// Dot screens: stipple and halftone.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <opencv2/core.hpp>

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"

namespace imaging {

namespace {

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
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  const cv::Mat& in = p.in;
  const int w = int(width);
  return EachRGB24Row(src, width, height, srcRowBytes, dst, dstRowBytes,
                      [&](int y, const uint8_t* s, uint8_t* d) {
                        // Each cell of the dot grid holds at most one dot, drawn when the cell's
                        // random number falls below the ink wanted at the cell's centre.
                        const int cy = y / cell;
                        const int sy = std::min(cy * cell + cell / 2, in.rows - 1);
                        const uint8_t* centres = in.ptr<uint8_t>(sy);
                        const double ey = y - (cy * cell + radius - 0.5);
                        for (int x0 = 0, cx = 0; x0 < w; x0 += cell, ++cx) {
                          const int sx = std::min(cx * cell + cell / 2, w - 1);
                          const double wanted = std::pow(Darkness(centres + 3 * sx), 1.3) * ink;
                          const bool dot = HashUnit(uint32_t(cx), uint32_t(cy), 0x5717u) < wanted;
                          for (int x = x0; x < std::min(w, x0 + cell); ++x) {
                            const double ex = x - (cx * cell + radius - 0.5);
                            uint8_t* o = d + 3 * x;
                            if (!dot || (cell > 2 && ex * ex + ey * ey > radius * radius)) {
                              o[0] = o[1] = o[2] = 255;
                              continue;
                            }
                            for (int c = 0; c < 3; ++c) o[c] = black ? 0 : uint8_t(s[3 * x + c] * 3 / 4);
                          }
                        }
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
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  const cv::Mat& in = p.in;
  const int w = int(width), screenCount = mode == 1 ? 1 : 3;
  return EachRGB24Row(src, width, height, srcRowBytes, dst, dstRowBytes,
                      [&](int y, const uint8_t*, uint8_t* d) {
                        // Coverage of screen k at (x, y): the pixel's place in its turned cell,
                        // the ink at the cell's centre, and a dot of that area (radius from
                        // area). Neighbouring pixels mostly share a cell, whose dot size is kept.
                        struct Cell {
                          double fu = NAN, fv = NAN, reach = 0;
                        } last[3];
                        for (int x = 0; x < w; ++x, d += 3)
                          for (int k = 0; k < screenCount; ++k) {
                            const Screen& sc = screens[k];
                            const double u = (x * sc.c + y * sc.s) / cell, v = (-x * sc.s + y * sc.c) / cell;
                            const double fu = std::floor(u) + 0.5, fv = std::floor(v) + 0.5;
                            Cell& here = last[k];
                            if (fu != here.fu || fv != here.fv) {
                              const double px = (fu * sc.c - fv * sc.s) * cell, py = (fu * sc.s + fv * sc.c) * cell;
                              const int sx = std::clamp(int(px), 0, in.cols - 1), sy = std::clamp(int(py), 0, in.rows - 1);
                              const uint8_t* centre = in.ptr<uint8_t>(sy) + 3 * sx;
                              // Black only: the darkness; otherwise cyan takes red away, magenta
                              // green, yellow blue.
                              const double ink = mode == 1 ? Darkness(centre) : 1.0 - centre[k] / 255.0;
                              // A dot of area ink x cell^2: radius sqrt(ink / pi) cells.
                              here = {fu, fv, ink / std::numbers::pi};
                            }
                            const double du = u - fu, dv = v - fv;
                            const uint8_t value = du * du + dv * dv < here.reach ? 0 : 255;
                            if (mode == 1) d[0] = d[1] = d[2] = value;
                            else d[k] = value;
                          }
                      });
}

}  // namespace imaging
