#include "imaging/colour_tones.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/picture_args.h"

namespace imaging {

namespace {

bool IsColourPicture(const void* pixels, uint32_t width, uint32_t height, uint32_t bpp,
                     uint32_t rowBytes) {
  return (bpp == 3 || bpp == 4) && IsDrawablePicture(pixels, width, height, rowBytes, bpp);
}

uint8_t RoundByte(double v) {
  if (!(v > 0)) return 0;
  if (v >= 255) return 255;
  return static_cast<uint8_t>(std::lround(v));
}

double Luma(double r, double g, double b) { return 0.299 * r + 0.587 * g + 0.114 * b; }

void Unpack(uint32_t colour, double out[3]) {
  for (int c = 0; c < 3; ++c) out[c] = (colour >> (8 * c)) & 0xFF;
}

template <typename PerPixel>
void ForEachPixel(void* pixels, uint32_t width, uint32_t height, uint32_t bpp, uint32_t rowBytes,
                  PerPixel perPixel) {
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* p = static_cast<uint8_t*>(pixels) + std::size_t(y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x, p += bpp) perPixel(p);
  }
}

// How much of a colour-balance shift a pixel of lightness l (0..1) takes in each tonal range:
// smooth ramps that overlap a little, at most 0.7.
double RangeWeight(uint32_t range, double l) {
  constexpr double a = 0.25, b = 0.333, scale = 0.7;
  auto ramp = [](double v) { return std::clamp(v, 0.0, 1.0); };
  switch (range) {
    case 0:
      return ramp((l - b) / -a + 0.5) * scale;
    case 2:
      return ramp((l + b - 1) / a + 0.5) * scale;
    default:
      return ramp((l - b) / a + 0.5) * ramp((l + b - 1) / -a + 0.5) * scale;
  }
}

}  // namespace

int32_t ISE40_AdjustImageColorBalance(void* pixels, uint32_t width, uint32_t height,
                                      uint32_t bytesPerPixel, uint32_t rowBytes, double cyanRed,
                                      double magentaGreen, double yellowBlue, uint32_t range,
                                      uint32_t preserveLuminosity) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes) || range > 2 ||
      !std::isfinite(cyanRed) || !std::isfinite(magentaGreen) || !std::isfinite(yellowBlue))
    return 0;
  const double shift[3] = {std::clamp(cyanRed, -1.0, 1.0) * 255,
                           std::clamp(magentaGreen, -1.0, 1.0) * 255,
                           std::clamp(yellowBlue, -1.0, 1.0) * 255};
  // The weight depends on the lightness alone, which is whole on the 0..510 scale of max + min.
  double weight[511];
  for (int l = 0; l <= 510; ++l) weight[l] = RangeWeight(range, l / 510.0);
  ForEachPixel(pixels, width, height, bytesPerPixel, rowBytes, [&](uint8_t* p) {
    const int before = std::max({p[0], p[1], p[2]}) + std::min({p[0], p[1], p[2]});
    double v[3];
    for (int c = 0; c < 3; ++c) v[c] = std::clamp(p[c] + shift[c] * weight[before], 0.0, 255.0);
    if (preserveLuminosity) {
      const double after = std::max({v[0], v[1], v[2]}) + std::min({v[0], v[1], v[2]});
      const double d = (before - after) / 2;
      for (double& s : v) s += d;
    }
    for (int c = 0; c < 3; ++c) p[c] = RoundByte(v[c]);
  });
  return 1;
}

int32_t ISE3DuotoneImage(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                         uint32_t rowBytes, uint32_t colour, double amount) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes) || !std::isfinite(amount))
    return 0;
  const double k = std::clamp(amount, 0.0, 1.0);
  double ink[3];
  Unpack(colour, ink);
  // One ramp entry per grey level.
  uint8_t ramp[256][3];
  for (int g = 0; g < 256; ++g) {
    const double t = g / 255.0;
    for (int c = 0; c < 3; ++c)
      ramp[g][c] = RoundByte(t <= 0.5 ? ink[c] * t * 2 : ink[c] + (255 - ink[c]) * (t - 0.5) * 2);
  }
  ForEachPixel(pixels, width, height, bytesPerPixel, rowBytes, [&](uint8_t* p) {
    const uint8_t* tone = ramp[RoundByte(Luma(p[0], p[1], p[2]))];
    for (int c = 0; c < 3; ++c) p[c] = RoundByte(p[c] + (tone[c] - p[c]) * k);
  });
  return 1;
}

int32_t ISE3AdjustTint(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t rowBytes, uint32_t colour, double amount) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes) || !std::isfinite(amount))
    return 0;
  const double k = std::clamp(amount, 0.0, 1.0);
  double tint[3];
  Unpack(colour, tint);
  const double tintLuma = Luma(tint[0], tint[1], tint[2]);
  ForEachPixel(pixels, width, height, bytesPerPixel, rowBytes, [&](uint8_t* p) {
    const double luma = Luma(p[0], p[1], p[2]);
    for (int c = 0; c < 3; ++c) {
      const double tinted = std::clamp(luma + tint[c] - tintLuma, 0.0, 255.0);
      p[c] = RoundByte(p[c] + (tinted - p[c]) * k);
    }
  });
  return 1;
}

int32_t ISE3ThresholdFilter(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                            uint32_t rowBytes, uint32_t threshold) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes)) return 0;
  ForEachPixel(pixels, width, height, bytesPerPixel, rowBytes, [&](uint8_t* p) {
    for (int c = 0; c < 3; ++c) p[c] = p[c] >= threshold ? 255 : 0;
  });
  return 1;
}

int32_t IS3DespeckleImage(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                          uint32_t rowBytes) {
  if (!IsColourPicture(pixels, width, height, bytesPerPixel, rowBytes)) return 0;
  cv::Mat picture = WrapPicture(pixels, width, height, bytesPerPixel, rowBytes);
  cv::Mat filtered;
  cv::medianBlur(picture, filtered, 3);
  // The median of the colour samples only: alpha is copied back.
  if (bytesPerPixel == 4) {
    const int fromTo[] = {3, 3};
    cv::mixChannels(&picture, 1, &filtered, 1, fromTo, 1);
  }
  filtered.copyTo(picture);
  return 1;
}

int32_t IS3Deinterlace(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t rowBytes, uint32_t keepOdd) {
  if (!IsDrawablePicture(pixels, width, height, rowBytes, bytesPerPixel)) return 0;
  if (height < 2) return 1;
  uint8_t* base = static_cast<uint8_t*>(pixels);
  const std::size_t rowLength = std::size_t(width) * bytesPerPixel;
  for (uint32_t y = keepOdd ? 0 : 1; y < height; y += 2) {
    uint8_t* row = base + std::size_t(y) * rowBytes;
    const uint8_t* above = y > 0 ? row - rowBytes : nullptr;
    const uint8_t* below = y + 1 < height ? row + rowBytes : nullptr;
    if (!above || !below) {
      std::memcpy(row, above ? above : below, rowLength);
      continue;
    }
    for (std::size_t i = 0; i < rowLength; ++i) row[i] = uint8_t((above[i] + below[i] + 1) / 2);
  }
  return 1;
}

}  // namespace imaging
