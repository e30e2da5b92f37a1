#include "imaging/detail_filters.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/filter_frame.h"
#include "imaging/scratch.h"

namespace imaging {

namespace {

template <typename Make>
int32_t Run3(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes, void* dst,
             uint32_t dstRowBytes, Make make) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  try {
    // Built aside on warm scratch memory, so that a failure writes nothing and dst may be src.
    ScratchPicture result(p.in.size(), p.in.type());
    make(p.in, result.mat());
    result.mat().copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

// Grey as the engine weighs it: (77 red + 150 green + 29 blue + 128) >> 8.
cv::Mat Grey(const cv::Mat& rgb) {
  cv::Mat grey(rgb.size(), CV_8UC1);
  ForEachRowBand(rgb.rows, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const uint8_t* s = rgb.ptr<uint8_t>(y);
      uint8_t* g = grey.ptr<uint8_t>(y);
      for (int x = 0; x < rgb.cols; ++x, s += 3)
        g[x] = uint8_t((77 * s[0] + 150 * s[1] + 29 * s[2] + 128) >> 8);
    }
  });
  return grey;
}

}  // namespace

int32_t is5_BilateralFilterImage(const void* src, uint32_t width, uint32_t height,
                                 uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                                 uint32_t dstRowBytes, uint32_t diameter, double sigmaColour,
                                 double sigmaSpace) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes, &p) ||
      !std::isfinite(sigmaColour) || !std::isfinite(sigmaSpace))
    return 0;
  try {
    const int d = int(std::clamp<uint32_t>(diameter, 1, 31));
    const double sc = std::clamp(sigmaColour, 0.1, 1000.0), ss = std::clamp(sigmaSpace, 0.1, 100.0);
    cv::Mat colour = p.in;
    if (bytesPerPixel == 4) cv::cvtColor(p.in, colour, cv::COLOR_RGBA2RGB);
    // OpenCV's bilateral filter cannot work in place; into dst directly when it is another
    // picture of three or one bytes a pixel.
    const bool direct = bytesPerPixel != 4 && p.in.data != p.out.data;
    cv::Mat smoothed = direct ? p.out : cv::Mat();
    cv::bilateralFilter(colour, smoothed, d, sc, ss, cv::BORDER_REPLICATE);
    if (direct) return 1;
    if (bytesPerPixel == 4) {
      // Channels are numbered across both sources: the colour's three, then the original's four.
      const int from_to[] = {0, 0, 1, 1, 2, 2, 6, 3};
      cv::Mat alpha = p.in.clone();
      const cv::Mat sources[] = {smoothed, alpha};
      cv::mixChannels(sources, 2, &p.out, 1, from_to, 4);
      return 1;
    }
    smoothed.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

int32_t ISE3SharpenImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                         void* dst, uint32_t dstRowBytes, uint32_t amount) {
  return Run3(
      src, width, height, srcRowBytes, dst, dstRowBytes, [&](const cv::Mat& in, cv::Mat& out) {
        const float a = float(std::min<uint32_t>(amount, 100)) / 100.0f;
        // centre 1 + 4a, side neighbours -a: the identity plus a times the negative Laplacian.
        const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 0, -a, 0, -a, 1 + 4 * a, -a, 0, -a, 0);
        cv::filter2D(in, out, -1, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
      });
}

int32_t IS3UnsharpMaskImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                            void* dst, uint32_t dstRowBytes, double radius, uint32_t amount,
                            uint32_t threshold) {
  if (!std::isfinite(radius)) return 0;
  return Run3(src, width, height, srcRowBytes, dst, dstRowBytes,
              [&](const cv::Mat& in, cv::Mat& out) {
                cv::Mat blurred;
                const double sigma = std::clamp(radius, 0.1, 100.0);
                cv::GaussianBlur(in, blurred, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
                out.create(in.size(), in.type());
                const int gain = int(std::min<uint32_t>(amount, 500));
                const int limit = int(std::min<uint32_t>(threshold, 255));
                const int samples = in.cols * 3;
                ForEachRowBand(in.rows, [&](int begin, int end) {
                  for (int y = begin; y < end; ++y) {
                    const uint8_t* s = in.ptr<uint8_t>(y);
                    const uint8_t* b = blurred.ptr<uint8_t>(y);
                    uint8_t* d = out.ptr<uint8_t>(y);
                    for (int i = 0; i < samples; ++i) {
                      const int diff = int(s[i]) - int(b[i]);
                      // Integer rounding of diff x gain / 100, symmetric about zero.
                      const int lift = (diff * gain + (diff >= 0 ? 50 : -50)) / 100;
                      d[i] = std::abs(diff) > limit ? ClampByte(s[i] + lift) : s[i];
                    }
                  }
                });
              });
}

int32_t ISE3CannyEdgeDetector(const void* src, uint32_t width, uint32_t height,
                              uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double low,
                              double high, double sigma) {
  if (!std::isfinite(low) || !std::isfinite(high) || !std::isfinite(sigma)) return 0;
  return Run3(src, width, height, srcRowBytes, dst, dstRowBytes,
              [&](const cv::Mat& in, cv::Mat& out) {
                cv::Mat grey = Grey(in);
                const double s = std::clamp(sigma, 0.0, 20.0);
                if (s > 0) cv::GaussianBlur(grey, grey, cv::Size(0, 0), s, s, cv::BORDER_REPLICATE);
                const double hi = std::clamp(high, 0.0, 1000.0), lo = std::clamp(low, 0.0, hi);
                cv::Mat edges;
                cv::Canny(grey, edges, lo, hi, 3, true);
                cv::cvtColor(edges, out, cv::COLOR_GRAY2RGB);
              });
}

int32_t IS3EmbossRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                     void* dst, uint32_t dstRowBytes, double angle, double depth) {
  if (!std::isfinite(angle) || !std::isfinite(depth)) return 0;
  return Run3(
      src, width, height, srcRowBytes, dst, dstRowBytes, [&](const cv::Mat& in, cv::Mat& out) {
        const cv::Mat grey = Grey(in);
        const double a = angle * std::numbers::pi / 180.0;
        // The light comes from angle; image rows grow downwards, so its y component flips.
        const float lx = float(std::cos(a)), ly = float(-std::sin(a));
        const float d = float(std::clamp(depth, -100.0, 100.0));
        const int w = in.cols, h = in.rows;
        out.create(in.size(), in.type());
        ForEachRowBand(h, [&](int begin, int end) {
          for (int y = begin; y < end; ++y) {
            // Sobel slopes with the border repeated, scaled to one level per pixel step (the kernel
            // sums to 8 along its axis; an eighth of a whole number is exact in a float).
            const uint8_t* above = grey.ptr<uint8_t>(std::max(y - 1, 0));
            const uint8_t* here = grey.ptr<uint8_t>(y);
            const uint8_t* below = grey.ptr<uint8_t>(std::min(y + 1, h - 1));
            uint8_t* o = out.ptr<uint8_t>(y);
            for (int x = 0; x < w; ++x) {
              const int l = std::max(x - 1, 0), r = std::min(x + 1, w - 1);
              const int gx =
                  (above[r] + 2 * here[r] + below[r]) - (above[l] + 2 * here[l] + below[l]);
              const int gy =
                  (below[l] + 2 * below[x] + below[r]) - (above[l] + 2 * above[x] + above[r]);
              const float sx = float(gx) * 0.125f, sy = float(gy) * 0.125f;
              const uint8_t v = ClampByte(128.0 + d * (sx * lx + sy * ly));
              o[3 * x] = o[3 * x + 1] = o[3 * x + 2] = v;
            }
          }
        });
      });
}

int32_t ISE3ShadeBevelEdge(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                           void* dst, uint32_t dstRowBytes, uint32_t bevelWidth, double strength) {
  if (!std::isfinite(strength)) return 0;
  return Run3(src, width, height, srcRowBytes, dst, dstRowBytes,
              [&](const cv::Mat& in, cv::Mat& out) {
                const int w = in.cols, h = in.rows;
                const int bevel = std::clamp(int(std::min<uint32_t>(bevelWidth, 1u << 16)), 1,
                                             std::max(1, std::min(w, h) / 2));
                const double k = std::clamp(strength, 0.0, 1.0);
                out.create(in.size(), in.type());
                ForEachRowBand(h, [&](int begin, int end) {
                  for (int y = begin; y < end; ++y) {
                    const uint8_t* s = in.ptr<uint8_t>(y);
                    uint8_t* d = out.ptr<uint8_t>(y);
                    for (int x = 0; x < w; ++x) {
                      // The nearest border decides the facet: top and left face the light, bottom
                      // and right face away; the shading fades towards the inner edge of the bevel.
                      const int top = y, left = x, bottom = h - 1 - y, right = w - 1 - x;
                      const int nearest = std::min({top, left, bottom, right});
                      double lift = 0;
                      if (nearest < bevel) {
                        const double fade = k * (1.0 - double(nearest) / bevel);
                        lift = (nearest == top || nearest == left) ? fade : -fade;
                      }
                      for (int c = 0; c < 3; ++c) {
                        const double v = s[3 * x + c];
                        d[3 * x + c] = ClampByte(lift >= 0 ? v + (255 - v) * lift : v * (1 + lift));
                      }
                    }
                  }
                });
              });
}

}  // namespace imaging
