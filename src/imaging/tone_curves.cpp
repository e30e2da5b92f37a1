#include "imaging/tone_curves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <opencv2/core.hpp>

#include "imaging/picture_args.h"

namespace imaging {

namespace {

using Table = std::array<uint8_t, 256>;

bool IsColourPicture(const void* pixels, uint32_t width, uint32_t height, uint32_t bpp,
                     uint32_t rowBytes) {
  return (bpp == 3 || bpp == 4) && IsDrawablePicture(pixels, width, height, rowBytes, bpp);
}

uint8_t RoundByte(double v) {
  if (!(v > 0)) return 0;
  if (v >= 255) return 255;
  return static_cast<uint8_t>(std::lround(v));
}

// Applies one table to the colour channels (and to alpha when alphaToo) through OpenCV's LUT.
void ApplyTables(void* pixels, uint32_t width, uint32_t height, uint32_t bpp, uint32_t rowBytes,
                 const uint8_t* colour[3], const uint8_t* alpha) {
  cv::Mat lut(1, 256, CV_8UC(int(bpp)));
  for (int i = 0; i < 256; ++i) {
    uint8_t* entry = lut.ptr<uint8_t>(0) + i * bpp;
    for (int c = 0; c < 3; ++c) entry[c] = colour[c] ? colour[c][i] : uint8_t(i);
    if (bpp == 4) entry[3] = alpha ? alpha[i] : uint8_t(i);
  }
  cv::Mat picture = WrapPicture(pixels, width, height, bpp, rowBytes);
  cv::LUT(picture, lut, picture);
}

void ApplyTable(void* pixels, uint32_t width, uint32_t height, uint32_t bpp, uint32_t rowBytes,
                const Table& table, bool alphaToo = false) {
  const uint8_t* colour[3] = {table.data(), table.data(), table.data()};
  ApplyTables(pixels, width, height, bpp, rowBytes, colour, alphaToo ? table.data() : nullptr);
}

// A histogram of one value per pixel.
template <typename Value>
std::array<uint64_t, 256> Histogram(const void* pixels, uint32_t width, uint32_t height,
                                    uint32_t bpp, uint32_t rowBytes, Value value) {
  std::array<uint64_t, 256> counts{};
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* p = static_cast<const uint8_t*>(pixels) + std::size_t(y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x, p += bpp) ++counts[value(p)];
  }
  return counts;
}

// The cumulative mapping that spreads a histogram evenly over 0..255.
Table EqualisingTable(const std::array<uint64_t, 256>& counts) {
  Table table{};
  uint64_t total = 0, first = 0;
  for (uint64_t n : counts) total += n;
  for (uint64_t n : counts)
    if (n) {
      first = n;
      break;
    }
  uint64_t running = 0;
  for (int v = 0; v < 256; ++v) {
    running += counts[v];
    table[v] =
        total == first
            ? uint8_t(v)
            : RoundByte(double(running - std::min(running, first)) * 255.0 / double(total - first));
  }
  return table;
}

// The values below which the lowClip fraction and above which the highClip fraction lie.
void ClippedRange(const std::array<uint64_t, 256>& counts, double lowClip, double highClip,
                  int* low, int* high) {
  uint64_t total = 0;
  for (uint64_t n : counts) total += n;
  const double lowCount = total * std::clamp(lowClip, 0.0, 0.5);
  const double highCount = total * std::clamp(highClip, 0.0, 0.5);
  uint64_t running = 0;
  *low = 0;
  for (int v = 0; v < 256; ++v) {
    running += counts[v];
    if (running > lowCount) {
      *low = v;
      break;
    }
  }
  running = 0;
  *high = 255;
  for (int v = 255; v >= 0; --v) {
    running += counts[v];
    if (running > highCount) {
      *high = v;
      break;
    }
  }
}

Table StretchTable(int low, int high) {
  Table table{};
  for (int v = 0; v < 256; ++v)
    table[v] = high > low ? RoundByte(255.0 * (v - low) / (high - low)) : uint8_t(v);
  return table;
}

uint8_t Brightness(const uint8_t* p) { return std::max({p[0], p[1], p[2]}); }

}  // namespace

int32_t IS3AdjustBrightnessContrast(void* pixels, uint32_t width, uint32_t height,
                                    uint32_t bytesPerPixel, uint32_t rowBytes, double brightness,
                                    double contrast, uint32_t colourOnly) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes) || colourOnly != 1 ||
      !std::isfinite(brightness) || !std::isfinite(contrast))
    return 0;
  const double b = std::clamp(brightness, -1.0, 1.0);
  const double c = std::clamp(contrast, -1.0, 1.0);
  // At +1 the tangent is unbounded: a very steep line is the threshold it tends to.
  const double f = c >= 1.0 ? 1e9 : std::tan((c + 1) * std::numbers::pi / 4);
  Table table{};
  for (int x = 0; x < 256; ++x) table[x] = RoundByte(((x / 255.0 + b - 0.5) * f + 0.5) * 255);
  ApplyTable(pixels, width, height, bytesPerPixel, rowBytes, table);
  return 1;
}

int32_t IS3AdjustGamma(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t rowBytes, double gamma, uint32_t alphaToo) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes) || !(gamma > 0) ||
      !std::isfinite(gamma))
    return 0;
  Table table{};
  for (int x = 0; x < 256; ++x) table[x] = RoundByte(255 * std::pow(x / 255.0, 1 / gamma));
  ApplyTable(pixels, width, height, bytesPerPixel, rowBytes, table, alphaToo != 0);
  return 1;
}

int32_t IS40_ApplyLUTsToImage(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                              uint32_t rowBytes, const uint8_t* table0, const uint8_t* table1,
                              const uint8_t* table2, const uint8_t* table3) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes)) return 0;
  const uint8_t* colour[3] = {table0, table1, table2};
  ApplyTables(pixels, width, height, bytesPerPixel, rowBytes, colour, table3);
  return 1;
}

int32_t IS40_BrightnessHistogramEqualizeImage(void* pixels, uint32_t width, uint32_t height,
                                              uint32_t bytesPerPixel, uint32_t rowBytes) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes)) return 0;
  const Table table =
      EqualisingTable(Histogram(pixels, width, height, bytesPerPixel, rowBytes, Brightness));
  // The scale of each sample depends on its brightness alone: one ratio per brightness.
  std::array<double, 256> ratio{};
  for (int v = 1; v < 256; ++v) ratio[v] = double(table[v]) / v;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* p = static_cast<uint8_t*>(pixels) + std::size_t(y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x, p += bytesPerPixel) {
      const uint8_t v = Brightness(p);
      for (int c = 0; c < 3; ++c) p[c] = v ? RoundByte(p[c] * ratio[v]) : table[0];
    }
  }
  return 1;
}

int32_t IS40_BrightnessHistogramStretchImage(void* pixels, uint32_t width, uint32_t height,
                                             uint32_t bytesPerPixel, uint32_t rowBytes,
                                             double lowClip, double highClip) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes)) return 0;
  int low, high;
  ClippedRange(Histogram(pixels, width, height, bytesPerPixel, rowBytes, Brightness), lowClip,
               highClip, &low, &high);
  ApplyTable(pixels, width, height, bytesPerPixel, rowBytes, StretchTable(low, high));
  return 1;
}

int32_t IS40_HistogramEqualizeImage(void* pixels, uint32_t width, uint32_t height,
                                    uint32_t bytesPerPixel, uint32_t rowBytes) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes)) return 0;
  Table tables[3];
  for (int c = 0; c < 3; ++c)
    tables[c] = EqualisingTable(Histogram(pixels, width, height, bytesPerPixel, rowBytes,
                                          [c](const uint8_t* p) { return p[c]; }));
  const uint8_t* colour[3] = {tables[0].data(), tables[1].data(), tables[2].data()};
  ApplyTables(pixels, width, height, bytesPerPixel, rowBytes, colour, nullptr);
  return 1;
}

int32_t IS40_HistogramStretchImage(void* pixels, uint32_t width, uint32_t height,
                                   uint32_t bytesPerPixel, uint32_t rowBytes, double lowClip,
                                   double highClip) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes)) return 0;
  Table tables[3];
  for (int c = 0; c < 3; ++c) {
    int low, high;
    ClippedRange(Histogram(pixels, width, height, bytesPerPixel, rowBytes,
                           [c](const uint8_t* p) { return p[c]; }),
                 lowClip, highClip, &low, &high);
    tables[c] = StretchTable(low, high);
  }
  const uint8_t* colour[3] = {tables[0].data(), tables[1].data(), tables[2].data()};
  ApplyTables(pixels, width, height, bytesPerPixel, rowBytes, colour, nullptr);
  return 1;
}

int32_t IS3BrightnessHistogramStretchImageInHSL(void* pixels, uint32_t width, uint32_t height,
                                                uint32_t bytesPerPixel, uint32_t rowBytes) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes)) return 0;
  // Lightness on the 0..510 scale of max + min, so that it stays whole.
  int low = 510, high = 0;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* p = static_cast<const uint8_t*>(pixels) + std::size_t(y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x, p += bytesPerPixel) {
      const int l = std::max({p[0], p[1], p[2]}) + std::min({p[0], p[1], p[2]});
      low = std::min(low, l), high = std::max(high, l);
    }
  }
  if (high <= low) return 1;
  // With hue and saturation kept, a pixel is its lightness plus a chroma part: for lightness L
  // (0..1) and saturation S the spread of the samples around L is S x (1 - |2L - 1|). Each
  // sample keeps its place within that spread as L moves.
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* p = static_cast<uint8_t*>(pixels) + std::size_t(y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x, p += bytesPerPixel) {
      const int mx = std::max({p[0], p[1], p[2]}), mn = std::min({p[0], p[1], p[2]});
      const double l = (mx + mn) / 510.0;
      const double l2 = double((mx + mn) - low) / (high - low);
      const double spread = 1 - std::fabs(2 * l - 1);
      const double spread2 = 1 - std::fabs(2 * l2 - 1);
      const double k = spread > 0 ? spread2 / spread : 0;
      for (int c = 0; c < 3; ++c) p[c] = RoundByte(255 * (l2 + (p[c] / 255.0 - l) * k));
    }
  }
  return 1;
}

}  // namespace imaging
