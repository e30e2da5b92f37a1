#include "imaging/noise_filters.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/filter_frame.h"

namespace imaging {

namespace {

// Perlin's improved noise in two dimensions, -1..1 roughly, with a permutation drawn from seed.
class Perlin {
 public:
  explicit Perlin(uint32_t seed) {
    for (int i = 0; i < 256; ++i) perm_[i] = uint8_t(i);
    for (int i = 255; i > 0; --i)
      std::swap(perm_[i], perm_[HashPosition(uint32_t(i), 0, seed) % (i + 1)]);
    for (int i = 0; i < 256; ++i) perm_[256 + i] = perm_[i];
  }
  // One coordinate split into its lattice cell and the place inside it, faded. Along a row of
  // pixels the vertical part is the same for every pixel and the horizontal part for every row,
  // so both are worked out once.
  struct Axis {
    int cell;
    double place, fade;
  };
  static Axis Split(double t) {
    const double f = std::floor(t);
    return {int(int64_t(f) & 255), t - f, Fade(t - f)};
  }
  // Along one lattice cell of a row the noise is p0 + p1 u + fade(u) (q0 + q1 u), u the place in
  // the cell: the four corner gradients, linear in u, mixed by the fade across and by the row's
  // fade down. Worked out once a cell, this leaves a few operations a pixel.
  struct Span {
    double p0, p1, q0, q1;
  };
  Span Along(int xCell, const Axis& y) const {
    const double v = y.place, b = y.fade;
    const int left = perm_[xCell], right = perm_[xCell + 1];
    const int aa = perm_[left + y.cell] & 7, ab = perm_[left + y.cell + 1] & 7;
    const int ba = perm_[right + y.cell] & 7, bb = perm_[right + y.cell + 1] & 7;
    // Each corner's gradient g (u - corner x, v - corner y) as slope x u + offset.
    const double aa0 = kY[aa] * v, ab0 = kY[ab] * (v - 1);
    const double ba0 = kY[ba] * v - kX[ba], bb0 = kY[bb] * (v - 1) - kX[bb];
    return {(1 - b) * aa0 + b * ab0, (1 - b) * kX[aa] + b * kX[ab],
            (1 - b) * (ba0 - aa0) + b * (bb0 - ab0),
            (1 - b) * (kX[ba] - kX[aa]) + b * (kX[bb] - kX[ab])};
  }

 private:
  static double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
  // The eight gradients (1, 1), (-1, 1), (1, -1), (-1, -1), (1, 0), (-1, 0), (0, 1), (0, -1).
  static constexpr double kX[8] = {1, -1, 1, -1, 1, -1, 0, 0};
  static constexpr double kY[8] = {1, 1, -1, -1, 0, 0, 1, -1};
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
    ForEachRowBand(ch, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        float* cell = cells.ptr<float>(y);
        for (int x = 0; x < cw; ++x) {
          const double u1 = std::max(HashUnit(uint32_t(x), uint32_t(y), seed), 1e-12);
          const double u2 = HashUnit(uint32_t(x), uint32_t(y), seed ^ 0x9E3779B9u);
          cell[x] = float(std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307179586 * u2));
        }
      }
    });
    if (grain > 1) {
      cv::resize(cells, field, cv::Size(cw * grain, ch * grain), 0, 0, cv::INTER_CUBIC);
      field = field(cv::Rect(0, 0, int(width), int(height)));
    } else {
      field = cells;
    }
  } catch (...) {
    return 0;
  }
  return EachRGB24Pixel(
      src, width, height, srcRowBytes, dst, dstRowBytes,
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
  // The octaves are independent, so their weighted sum spreads as the root of the summed squared
  // weights: dividing by that keeps the clouds equally strong at any number of octaves.
  double spread = 0;
  for (int o = 0; o < layers; ++o) spread += std::ldexp(1.0, -2 * o);
  spread = std::sqrt(spread);
  // Each octave's horizontal splits, column by column.
  const int w = int(width);
  std::vector<Perlin::Axis> columns;
  try {
    columns.resize(size_t(w) * layers);
  } catch (...) {
    return 0;
  }
  {
    double f = 1.0 / size;
    for (int o = 0; o < layers; ++o, f *= 2)
      for (int x = 0; x < w; ++x) columns[size_t(o) * w + x] = Perlin::Split(x * f + 0.5 * o);
  }
  return EachRGB24Row(
      src, width, height, srcRowBytes, dst, dstRowBytes, [&](int y, const uint8_t* s, uint8_t* d) {
        Perlin::Axis rows[8];
        double f = 1.0 / size;
        for (int o = 0; o < layers; ++o, f *= 2) rows[o] = Perlin::Split(y * f + 0.5 * o);
        // The octaves summed pixel by pixel, each octave's lattice cell
        // worked out again only when the row enters the next one.
        int cells[8];
        Perlin::Span spans[8];
        std::fill(cells, cells + 8, -1);
        for (int x = 0; x < w; ++x, s += 3, d += 3) {
          double v = 0, weight = 1.0;
          for (int o = 0; o < layers; ++o, weight *= 0.5) {
            const Perlin::Axis& a = columns[size_t(o) * w + x];
            if (a.cell != cells[o]) cells[o] = a.cell, spans[o] = perlin.Along(a.cell, rows[o]);
            const Perlin::Span& span = spans[o];
            v += weight * (span.p0 + span.p1 * a.place + a.fade * (span.q0 + span.q1 * a.place));
          }
          const int cloud = ClampByte(127.5 + 127.5 * v / spread * 1.4);
          // Light and shade laid over the picture: mid-grey clouds leave it as
          // it is, so its own contrast stays.
          for (int c = 0; c < 3; ++c) d[c] = ClampByte(s[c] + ((cloud - 128) * share) / 100);
        }
      });
}

}  // namespace imaging
