#include "imaging/noise_filters.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

#include "imaging/filter_frame.h"

namespace imaging {

namespace {

// Perlin's improved noise in two dimensions, -1..1 roughly, with a permutation drawn from seed.
class Perlin {
 public:
  explicit Perlin(uint32_t seed) {
    for (int i = 0; i < 256; ++i) perm_[i] = uint8_t(i);
    for (int i = 255; i > 0; --i) std::swap(perm_[i], perm_[HashPosition(uint32_t(i), 0, seed) % (i + 1)]);
    for (int i = 0; i < 256; ++i) perm_[256 + i] = perm_[i];
  }
  double At(double x, double y) const {
    const double fx = std::floor(x), fy = std::floor(y);
    const int xi = int(int64_t(fx) & 255), yi = int(int64_t(fy) & 255);
    const double u = x - fx, v = y - fy;
    const double a = Fade(u), b = Fade(v);
    const int aa = perm_[perm_[xi] + yi], ab = perm_[perm_[xi] + yi + 1];
    const int ba = perm_[perm_[xi + 1] + yi], bb = perm_[perm_[xi + 1] + yi + 1];
    const double top = Lerp(Grad(aa, u, v), Grad(ba, u - 1, v), a);
    const double bottom = Lerp(Grad(ab, u, v - 1), Grad(bb, u - 1, v - 1), a);
    return Lerp(top, bottom, b);
  }

 private:
  static double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
  static double Lerp(double a, double b, double t) { return a + (b - a) * t; }
  static double Grad(int hash, double x, double y) {
    switch (hash & 7) {
      case 0: return x + y;
      case 1: return -x + y;
      case 2: return x - y;
      case 3: return -x - y;
      case 4: return x;
      case 5: return -x;
      case 6: return y;
      default: return -y;
    }
  }
  uint8_t perm_[512];
};

}  // namespace

int32_t ISE3GenerateColoredNoise(const void* src, uint32_t width, uint32_t height,
                                 uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes,
                                 uint32_t amount, uint32_t seed) {
  const int share = int(std::min<uint32_t>(amount, 100));
  return EachRGB24Pixel(src, width, height, srcRowBytes, dst, dstRowBytes,
                   [&](int x, int y, const uint8_t* s, uint8_t* d) {
                     const uint32_t h = HashPosition(uint32_t(x), uint32_t(y), seed);
                     for (int c = 0; c < 3; ++c) {
                       const int noise = int((h >> (8 * c)) & 0xFF);
                       d[c] = uint8_t(s[c] + ((noise - s[c]) * share) / 100);
                     }
                   });
}

int32_t ISE3GenerateHugoNoise(const void* src, uint32_t width, uint32_t height,
                              uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes,
                              uint32_t amount, uint32_t grainSize, uint32_t seed) {
  if (!IsDrawablePicture(src, width, height, srcRowBytes, 3)) return 0;
  const double deviation = 0.64 * std::min<uint32_t>(amount, 100);
  const int grain = int(std::clamp<uint32_t>(grainSize, 1, 16));
  cv::Mat field;
  try {
    // Normal grain from pairs of hashed uniforms (Box-Muller), one per grain cell, then softened
    // to the grain's size so that the clumps are round rather than square.
    const int cw = (int(width) + grain - 1) / grain, ch = (int(height) + grain - 1) / grain;
    cv::Mat cells(ch, cw, CV_32F);
    for (int y = 0; y < ch; ++y)
      for (int x = 0; x < cw; ++x) {
        const double u1 = std::max(HashUnit(uint32_t(x), uint32_t(y), seed), 1e-12);
        const double u2 = HashUnit(uint32_t(x), uint32_t(y), seed ^ 0x9E3779B9u);
        cells.at<float>(y, x) = float(std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307179586 * u2));
      }
    if (grain > 1) {
      cv::resize(cells, field, cv::Size(cw * grain, ch * grain), 0, 0, cv::INTER_CUBIC);
      field = field(cv::Rect(0, 0, int(width), int(height))).clone();
    } else {
      field = cells;
    }
  } catch (...) {
    return 0;
  }
  return EachRGB24Pixel(src, width, height, srcRowBytes, dst, dstRowBytes,
                   [&](int x, int y, const uint8_t* s, uint8_t* d) {
                     const double grey = (77 * s[0] + 150 * s[1] + 29 * s[2]) / (256.0 * 255.0);
                     // 4 g (1 - g): 1 in the mid-tones, 0 at black and white.
                     const double n = deviation * field.at<float>(y, x) * (0.25 + 3.0 * grey * (1 - grey));
                     for (int c = 0; c < 3; ++c) d[c] = ClampByte(s[c] + n);
                   });
}

int32_t ISE3GeneratePerlinNoise(const void* src, uint32_t width, uint32_t height,
                                uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes,
                                uint32_t amount, double scale, uint32_t octaves, uint32_t seed) {
  if (!std::isfinite(scale)) return 0;
  const Perlin perlin(seed);
  const double size = std::clamp(scale, 1.0, 4096.0);
  const int layers = int(std::clamp<uint32_t>(octaves, 1, 8));
  const int share = int(std::min<uint32_t>(amount, 100));
  double weightSum = 0;
  for (int o = 0; o < layers; ++o) weightSum += std::ldexp(1.0, -o);
  return EachRGB24Pixel(src, width, height, srcRowBytes, dst, dstRowBytes,
                   [&](int x, int y, const uint8_t* s, uint8_t* d) {
                     double v = 0, f = 1.0 / size, w = 1.0;
                     for (int o = 0; o < layers; ++o, f *= 2, w *= 0.5)
                       v += w * perlin.At(x * f + 0.5 * o, y * f + 0.5 * o);
                     const int cloud = ClampByte(127.5 + 127.5 * v / weightSum * 1.4);
                     for (int c = 0; c < 3; ++c) d[c] = uint8_t(s[c] + ((cloud - s[c]) * share) / 100);
                   });
}

}  // namespace imaging
