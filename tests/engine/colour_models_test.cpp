#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "engine/colour_models.h"

namespace {

using namespace engine;

struct Rgb {
  uint8_t r, g, b;
};

Rgb FromHSV(double h, double s, double v) {
  Rgb c{};
  HSVToRGB(h, s, v, &c.r, &c.g, &c.b);
  return c;
}
Rgb FromHSL(double h, double s, double l) {
  Rgb c{};
  HSLToRGB(h, s, l, &c.r, &c.g, &c.b);
  return c;
}
void ExpectRgb(Rgb c, int r, int g, int b) {
  EXPECT_EQ(c.r, r);
  EXPECT_EQ(c.g, g);
  EXPECT_EQ(c.b, b);
}

TEST(ColourModels, GreysHaveNoHue) {
  for (int grey : {0, 1, 77, 128, 254, 255}) {
    double h, s, v;
    RGBToHSV(grey, grey, grey, &h, &s, &v);
    EXPECT_EQ(h, -1.0);
    EXPECT_EQ(s, 0.0);
    EXPECT_DOUBLE_EQ(v, grey / 255.0);
    RGBToHSL(grey, grey, grey, &h, &s, &v);
    EXPECT_EQ(h, 0.0);
    EXPECT_EQ(s, 0.0);
    EXPECT_DOUBLE_EQ(v, grey / 255.0);
  }
}

TEST(ColourModels, PrimariesAndAHandDerivedOrange) {
  double h, s, v;
  RGBToHSV(255, 0, 0, &h, &s, &v);
  EXPECT_EQ(h, 0.0);
  EXPECT_EQ(s, 1.0);
  EXPECT_EQ(v, 1.0);
  RGBToHSL(255, 0, 0, &h, &s, &v);
  EXPECT_EQ(h, 0.0);
  EXPECT_EQ(s, 1.0);
  EXPECT_EQ(v, 0.5);
  RGBToHSV(0, 0, 255, &h, &s, &v);
  EXPECT_DOUBLE_EQ(h, 240.0);
  RGBToHSL(0, 0, 255, &h, &s, &v);
  EXPECT_DOUBLE_EQ(h, 240.0);
  RGBToHSV(0, 255, 0, &h, &s, &v);
  EXPECT_DOUBLE_EQ(h, 120.0);

  // (255, 128, 0): max 1, min 0, so hue = 60 x 128/255 = 30.1176...; HSL lightness 0.5 takes
  // the second saturation form, delta / (2 - max - min) = 1.
  RGBToHSV(255, 128, 0, &h, &s, &v);
  EXPECT_NEAR(h, 60.0 * 128 / 255, 1e-12);
  EXPECT_EQ(s, 1.0);
  RGBToHSL(255, 128, 0, &h, &s, &v);
  EXPECT_NEAR(h, 60.0 * 128 / 255, 1e-12);
  EXPECT_EQ(s, 1.0);
  EXPECT_EQ(v, 0.5);

  // Magenta-ish (255, 0, 51): the red sector gives a negative angle, -12, wrapped to 348.
  RGBToHSV(255, 0, 51, &h, &s, &v);
  EXPECT_NEAR(h, 348.0, 1e-12);
  // (64, 32, 96) in HSL: max 96/255, min 32/255, l = 64/255 < 0.5, s = 64/128 = 0.5; blue
  // is largest, hue = 240 + 60 (r - g) / delta = 240 + 60 x 32/64 = 270.
  RGBToHSL(64, 32, 96, &h, &s, &v);
  EXPECT_NEAR(h, 270.0, 1e-9);
  EXPECT_NEAR(s, 0.5, 1e-12);
  EXPECT_NEAR(v, 64.0 / 255, 1e-12);
}

TEST(ColourModels, BackToBytesTruncates) {
  ExpectRgb(FromHSV(360, 1, 1), 255, 0, 0);
  ExpectRgb(FromHSV(0, 1, 1), 255, 0, 0);
  // Hue 30: sector 0, f = 0.5, so green = t = 0.5 -> 127 (not 128).
  ExpectRgb(FromHSV(30, 1, 1), 255, 127, 0);
  ExpectRgb(FromHSV(-1, 0, 0.5), 127, 127, 127);
  // Hue 200, s 0.5, v 0.8: sector 3, f = 1/3, p = 0.4, q = 0.8 (1 - 0.5/3) = 0.6667.
  ExpectRgb(FromHSV(200, 0.5, 0.8), 102, 170, 204);
  ExpectRgb(FromHSL(0, 0, 1), 255, 255, 255);
  ExpectRgb(FromHSL(120, 1, 0.5), 0, 255, 0);
  ExpectRgb(FromHSL(0, 0, 0.5), 127, 127, 127);
  // Hue 30, s 1, l 0.25: hi 0.5, lo 0; red reads 150 degrees (hi), green 30 degrees (half way),
  // blue 270 degrees (lo).
  ExpectRgb(FromHSL(30, 1, 0.25), 127, 63, 0);
}

// Truncation (never rounding) loses a step wherever x * 255 lands just below a whole number, but
// never more, and never gains one.
TEST(ColourModels, RoundTripsLoseAtMostOneStep) {
  for (int r = 0; r < 256; r += 5)
    for (int g = 0; g < 256; g += 3)
      for (int b = 0; b < 256; b += 7) {
        double h, s, x;
        RGBToHSV(r, g, b, &h, &s, &x);
        const Rgb viaHsv = FromHSV(h < 0 ? 0 : h, s, x);
        RGBToHSL(r, g, b, &h, &s, &x);
        const Rgb viaHsl = FromHSL(h, s, x);
        for (auto [got, want] : {std::pair{viaHsv.r, r},
                                 {viaHsv.g, g},
                                 {viaHsv.b, b},
                                 {viaHsl.r, r},
                                 {viaHsl.g, g},
                                 {viaHsl.b, b}}) {
          ASSERT_LE(want - got, 1) << r << " " << g << " " << b;
          ASSERT_GE(want - got, 0) << r << " " << g << " " << b;
        }
      }
}

TEST(ColourModels, LabOfWhiteGreyAndBlack) {
  double l, a, b;
  RGBToXYZ(255, 255, 255, &l, &a, &b);
  EXPECT_NEAR(l, 95.05, 0.01);
  EXPECT_NEAR(a, 100.0, 0.01);
  EXPECT_NEAR(b, 108.9, 0.01);
  XYZToLab(l, a, b, &l, &a, &b);  // in place, as the Lab path does it
  EXPECT_NEAR(l, 100.0, 0.01);
  EXPECT_NEAR(a, 0.0, 0.05);
  EXPECT_NEAR(b, 0.0, 0.05);
  RGBToXYZ(0, 0, 0, &l, &a, &b);
  XYZToLab(l, a, b, &l, &a, &b);
  EXPECT_NEAR(l, 0.0, 1e-9);
  // Grey 128: linear ((128/255 + 0.055) / 1.055)^2.4 = 0.21586, so Y = 21.586 and
  // L = 116 x 0.21586^(1/3) - 16 = 53.585.
  RGBToXYZ(128, 128, 128, &l, &a, &b);
  EXPECT_NEAR(b / 108.883, 0.21586, 1e-4);
  XYZToLab(l, a, b, &l, &a, &b);
  EXPECT_NEAR(l, 53.585, 0.01);
  // Dark values take the linear segments on both sides: 10/255 / 12.92 = 0.0030353.
  RGBToXYZ(10, 10, 10, &l, &a, &b);
  EXPECT_NEAR(a, 0.30353, 1e-4);
}

TEST(ColourModels, LabRoundTripAndGamutClamp) {
  for (int r = 0; r < 256; r += 15)
    for (int g = 0; g < 256; g += 17)
      for (int b = 0; b < 256; b += 51) {
        double l, a, bb;
        RGBToXYZ(r, g, b, &l, &a, &bb);
        XYZToLab(l, a, bb, &l, &a, &bb);
        Rgb back{};
        LabToRGB(l, a, bb, &back.r, &back.g, &back.b);
        EXPECT_LE(std::abs(back.r - r), 1);
        EXPECT_LE(std::abs(back.g - g), 1);
        EXPECT_LE(std::abs(back.b - b), 1);
      }
  // Far outside the gamut: red overflows, green goes negative; neither wraps.
  Rgb c{};
  XYZToRGB(200, 0, 0, &c.r, &c.g, &c.b);
  EXPECT_EQ(c.r, 255);
  EXPECT_EQ(c.g, 0);
  XYZToRGB(-50, -50, -50, &c.r, &c.g, &c.b);
  ExpectRgb(c, 0, 0, 0);
  LabToRGB(100, 0, 0, &c.r, &c.g, &c.b);
  EXPECT_GE(c.r, 254);
}

TEST(ColourModels, CmykOfBlackRedAndGrey) {
  double c, m, y, k;
  CMYToCMYK(1, 1, 1, &c, &m, &y, &k);
  EXPECT_EQ(c, 0.0);
  EXPECT_EQ(m, 0.0);
  EXPECT_EQ(y, 0.0);
  EXPECT_EQ(k, 1.0);
  CMYToCMYK(0, 1, 1, &c, &m, &y, &k);  // red
  EXPECT_EQ(k, 0.0);
  EXPECT_EQ(m, 1.0);
  // cmy (0.6, 0.7, 0.8): k = 0.6, then (x - 0.6) / 0.4 gives (0, 0.25, 0.5).
  CMYToCMYK(0.6, 0.7, 0.8, &c, &m, &y, &k);
  EXPECT_NEAR(c, 0.0, 1e-12);
  EXPECT_NEAR(m, 0.25, 1e-12);
  EXPECT_NEAR(y, 0.5, 1e-12);
  EXPECT_NEAR(k, 0.6, 1e-12);
  Rgb out{};
  CMYKToRGB(0, 0, 0, 1, &out.r, &out.g, &out.b);
  ExpectRgb(out, 0, 0, 0);
  CMYKToRGB(0, 0.5, 1, 0, &out.r, &out.g, &out.b);
  ExpectRgb(out, 255, 127, 0);
  CMYToRGB(0.5, 0, 1, &out.r, &out.g, &out.b);
  ExpectRgb(out, 127, 255, 0);
}

}  // namespace
