#include "mask/mask_makers.h"

#include <cmath>
#include <cstdlib>

#include "mask/mask_values.h"
#include "engine/colour_models.h"

namespace mask {
namespace {

// Writes value wherever selected(pixel) holds, walking the canvas-sized image pixel by pixel
// (bytesPerPixel apart) in plane order.
template <class Selected>
void Select(const uint8_t* image, int bytesPerPixel, uint16_t value, Selected selected) {
  const MaskCanvas canvas = LiveMask();
  if (!canvas.plane || !image) return;
  for (std::size_t i = 0; i < canvas.pixels; ++i, image += bytesPerPixel)
    if (selected(image)) canvas.plane[i] = value;
}

int32_t Mean3(int32_t a, int32_t b, int32_t c) { return (a + b + c) / 3; }

}  // namespace

bool HueWithin(double h, double k, double t) {
  return t >= std::fabs(h - k) || t >= std::fabs(h - (k - 360.0)) || t >= std::fabs(h - 360.0 - k);
}

void CreateMaskFromDiff_RGBA32(const uint8_t* imageA, const uint8_t* imageB, int32_t value) {
  if (!imageB) return;
  const uint8_t* b = imageB;
  Select(imageA, 4, static_cast<uint16_t>(value), [&b](const uint8_t* a) {
    const bool differs = a[0] != b[0] || a[1] != b[1] || a[2] != b[2] || a[3] != b[3];
    b += 4;
    return differs;
  });
}

void CreateMaskFromRGBAImageColor(const uint8_t* image, int32_t red, int32_t green, int32_t blue,
                                  int32_t amount) {
  const uint8_t r = uint8_t(red), g = uint8_t(green), b = uint8_t(blue);
  Select(image, 4, MaskFromAmount(amount),
         [=](const uint8_t* p) { return p[0] == r && p[1] == g && p[2] == b; });
}

void CreateMaskFromRGB24ImageColor(const uint8_t* image, int32_t red, int32_t green, int32_t blue,
                                   int32_t amount) {
  const uint8_t r = uint8_t(red), g = uint8_t(green), b = uint8_t(blue);
  Select(image, 3, MaskFromAmount(amount),
         [=](const uint8_t* p) { return p[0] == r && p[1] == g && p[2] == b; });
}

void CreateMaskFromRGBAImageColorRange(const uint8_t* image, int32_t red, int32_t green,
                                       int32_t blue, int32_t tolerancePercent, int32_t amount) {
  const int64_t t = ToleranceFromPercent(tolerancePercent);
  const int32_t r = uint8_t(red), g = uint8_t(green), b = uint8_t(blue);
  Select(image, 4, MaskFromAmount(amount), [=](const uint8_t* p) {
    return std::abs(p[0] - r) <= t && std::abs(p[1] - g) <= t && std::abs(p[2] - b) <= t;
  });
}

void CreateMaskFromRGBAImageAlphaRange(const uint8_t* image, int32_t alpha,
                                       int32_t tolerancePercent, int32_t amount) {
  const int64_t t = ToleranceFromPercent(tolerancePercent);
  const int32_t key = uint8_t(alpha);
  Select(image, 4, MaskFromAmount(amount),
         [=](const uint8_t* p) { return std::abs(p[3] - key) <= t; });
}

void CreateMaskFromRGBAImageLuminanceRange(const uint8_t* image, int32_t red, int32_t green,
                                           int32_t blue, int32_t tolerancePercent, int32_t amount) {
  const int64_t t = ToleranceFromPercent(tolerancePercent);
  const int32_t key = Mean3(uint8_t(red), uint8_t(green), uint8_t(blue));
  Select(image, 4, MaskFromAmount(amount),
         [=](const uint8_t* p) { return std::abs(Mean3(p[0], p[1], p[2]) - key) <= t; });
}

void CreateMaskFromRGBAImageHueRange(const uint8_t* image, int32_t red, int32_t green, int32_t blue,
                                     int32_t tolerancePercent, int32_t amount) {
  // The tolerance is whole degrees; a grey's hue of -1 is compared like any other hue.
  const auto t = static_cast<double>(static_cast<int64_t>(tolerancePercent * 1.8));
  double k, s, v;
  engine::RGBToHSV(uint8_t(red), uint8_t(green), uint8_t(blue), &k, &s, &v);
  Select(image, 4, MaskFromAmount(amount), [=](const uint8_t* p) {
    double h, ps, pv;
    engine::RGBToHSV(p[0], p[1], p[2], &h, &ps, &pv);
    return HueWithin(h, k, t);
  });
}

void CreateMaskFromRGBAImageHSLRange(const uint8_t* image, int32_t red, int32_t green, int32_t blue,
                                     double hueTolerance, double saturationTolerance,
                                     double lightnessTolerance, int32_t amount) {
  // The hue tolerance is a fraction of a half turn, kept fractional.
  const double t = hueTolerance * 180.0;
  double kh, ks, kl;
  engine::RGBToHSL(uint8_t(red), uint8_t(green), uint8_t(blue), &kh, &ks, &kl);
  Select(image, 4, MaskFromAmount(amount), [=](const uint8_t* p) {
    double h, s, l;
    engine::RGBToHSL(p[0], p[1], p[2], &h, &s, &l);
    return HueWithin(h, kh, t) && std::fabs(s - ks) <= saturationTolerance &&
           std::fabs(l - kl) <= lightnessTolerance;
  });
}

void CreateMaskFromFloodMask(const uint8_t* floodMap, int32_t amount) {
  Select(floodMap, 1, MaskFromAmount(amount), [](const uint8_t* p) { return *p == 1; });
}

}  // namespace mask
