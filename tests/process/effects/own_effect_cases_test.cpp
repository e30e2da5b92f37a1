// Hand-computed cases of the own effects, and the names they answer to.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "process/effects/run_own_effect.h"
#include "support/engine_fixture.h"

namespace {

using Picture = std::vector<uint8_t>;

Picture Fill(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  Picture p(std::size_t(w) * h * 4);
  for (std::size_t i = 0; i < p.size(); i += 4) p[i] = r, p[i + 1] = g, p[i + 2] = b, p[i + 3] = a;
  return p;
}

void Set(Picture& p, int w, int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  uint8_t* q = &p[(std::size_t(y) * w + x) * 4];
  q[0] = r, q[1] = g, q[2] = b, q[3] = a;
}

std::vector<int> Px(const Picture& p, int w, int x, int y) {
  const uint8_t* q = &p[(std::size_t(y) * w + x) * 4];
  return {q[0], q[1], q[2], q[3]};
}

process::OwnEffectArguments Sliders(std::initializer_list<int> sliders,
                                    std::initializer_list<int> options = {}) {
  process::OwnEffectArguments a;
  int i = 0;
  for (int s : sliders) a.sliders[i++] = s;
  i = 0;
  for (int o : options) a.options[i++] = o;
  return a;
}

Picture Apply(const char* name, Picture src, int w, int h, const process::OwnEffectArguments& a) {
  Picture dst(src.size(), 0xAB);
  EXPECT_TRUE(process::RunOwnEffectOnBuffers(name, src.data(), dst.data(), w, h, a));
  return dst;
}

TEST(OwnEffectCases, GrayscaleTakesTheIntegerMean) {
  Picture p = Fill(1, 1, 10, 20, 31, 77);
  EXPECT_EQ(Px(Apply("Grayscale", p, 1, 1, {}), 1, 0, 0), (std::vector<int>{20, 20, 20, 77}));
}

TEST(OwnEffectCases, BasicThresholdAtZeroTurnsEverythingWhite) {
  Picture p = Fill(3, 2, 0, 0, 0, 9);
  Set(p, 3, 1, 1, 4, 0, 1, 200);
  const Picture out = Apply("Basic Threshold", p, 3, 2, Sliders({0}));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Px(out, 3, x, y)[0], 255);
  EXPECT_EQ(Px(out, 3, 1, 1)[3], 200);
}

// A black corner in a white 3 x 3 picture, smeared with both weights at full: the pair
// (0,0)->(1,0) of the first pass and (0,0)->(0,1) of the fifth each take 255 to
// ((65535 x 255) >> 8) >> 8 = 254; the eighth pass then compares (0,2) with the new (0,1), finds
// it darker and takes it on to 253. Every other pair is equal or lies outside the ranges.
TEST(OwnEffectCases, ValueBlurAtFullWeightLosesOneStepPerSmear) {
  Picture p = Fill(3, 3, 255, 255, 255, 255);
  Set(p, 3, 0, 0, 0, 0, 0, 255);
  const Picture out = Apply("Value Blur", p, 3, 3, Sliders({1000, 1000}));
  EXPECT_EQ(Px(out, 3, 1, 0), (std::vector<int>{254, 254, 254, 254}));
  EXPECT_EQ(Px(out, 3, 0, 1), (std::vector<int>{253, 253, 253, 253}));
  Picture expected = p;
  Set(expected, 3, 1, 0, 254, 254, 254, 254);
  Set(expected, 3, 0, 1, 253, 253, 253, 253);
  EXPECT_EQ(out, expected);
}

TEST(OwnEffectCases, ValueBlurWithoutWeightsChangesNothing) {
  Picture p(7 * 5 * 4);
  for (std::size_t i = 0; i < p.size(); ++i) p[i] = uint8_t(i * 37 + 11);
  EXPECT_EQ(Apply("Value Blur", p, 7, 5, Sliders({0, 0})), p);
}

// At slider 100 % the curve divisor would be 0; it is 1 instead, which drives every channel to
// an end: (1 - L)(255 - (255 - x)^2) + L x^2 for grey 100 (L = 0.392) is about -10527, for grey
// 128 (L = 0.502) about 318.
TEST(OwnEffectCases, HyperContrastAtFullUsesTheSteepestCurve) {
  Picture p = Fill(2, 1, 100, 100, 100, 255);
  Set(p, 2, 1, 0, 128, 128, 128, 40);
  const Picture out = Apply("Hyper Contrast", p, 2, 1, Sliders({1000}));
  EXPECT_EQ(Px(out, 2, 0, 0), (std::vector<int>{0, 0, 0, 255}));
  EXPECT_EQ(Px(out, 2, 1, 0), (std::vector<int>{255, 255, 255, 40}));
}

TEST(OwnEffectCases, BorderOfBasReliefAndDetailBlurIsTheSourceCopy) {
  const int w = 6, h = 5;
  Picture p(std::size_t(w) * h * 4);
  for (std::size_t i = 0; i < p.size(); ++i) p[i] = uint8_t(i * 91 + 7);
  for (const char* name : {"Bas Relief", "Detail Blur", "Adaptive Blur"}) {
    const Picture out = Apply(name, p, w, h, Sliders({700, 300, 900}));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (x == 0 || y == 0 || x == w - 1 || y == h - 1) {
          EXPECT_EQ(Px(out, w, x, y), Px(p, w, x, y)) << name;
        }
  }
}

// A column 8 rows high: the fade step would divide by 8 / 16 = 0; it spans one row instead.
// Mirror row n = trunc(0.5 x 7) - 1 = 2; reads go up one row per written row (1, 0, then outside);
// the alpha factor runs 1, 0.5, 0, -0.5, ...
TEST(OwnEffectCases, ReflectionOnAShortPictureFadesOverOneRowPerStep) {
  Picture p(8 * 4);
  for (int y = 0; y < 8; ++y)
    Set(p, 1, 0, y, uint8_t(10 + y), uint8_t(20 + y), uint8_t(30 + y), 201);
  const Picture out = Apply("Reflection", p, 1, 8, Sliders({500, 1000, 500, 250}, {0, 0, 0, 1}));
  EXPECT_EQ(Px(out, 1, 0, 1), Px(p, 1, 0, 1));
  EXPECT_EQ(Px(out, 1, 0, 2), (std::vector<int>{11, 21, 31, 201}));
  EXPECT_EQ(Px(out, 1, 0, 3), (std::vector<int>{10, 20, 30, 100}));
  for (int y = 4; y < 8; ++y) EXPECT_EQ(Px(out, 1, 0, y), (std::vector<int>{0, 0, 0, 0}));
}

// A region one pixel wide and high (one opaque pixel): the ramps stay at their start values,
// f = 2 x 0.4 x 2 x 0.3 = 0.48, alpha 200 becomes 96.
TEST(OwnEffectCases, FaderOverOnePixelUsesTheStartOfBothRamps) {
  Picture p = Fill(4, 3, 50, 60, 70, 0);
  Set(p, 4, 2, 1, 50, 60, 70, 200);
  const Picture out = Apply("Fader", p, 4, 3, Sliders({400, 900, 300, 800}, {0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(Px(out, 4, 2, 1), (std::vector<int>{50, 60, 70, 96}));
}

TEST(OwnEffectCases, VignetteKeepsTheCentreAndTintsTheCorners) {
  const int w = 64, h = 48;
  const Picture p = Fill(w, h, 200, 200, 200, 255);
  // Tint towards (0, 0, 1) = blue, soft edge.
  const Picture out = Apply("Vignette", p, w, h, Sliders({0, 0, 1000, 300}, {0, 0, 1}));
  const std::vector<int> centre = Px(out, w, w / 2, h / 2);
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(centre[c], 200, 1);
  const std::vector<int> corner = Px(out, w, 0, 0);
  EXPECT_LT(corner[0], 60);
  EXPECT_GT(corner[2], 230);
  EXPECT_EQ(corner[3], 255);
}

// Option 8 tints towards the paint colour (its high bytes) instead of the sliders' colour. A sharp
// square of the shorter side keeps columns 1..6 of an 8 x 6 picture; columns 0 and 7 lie outside,
// where the weight is 0 and the tint is whole (and the alpha becomes opaque).
class VignettePaintColour : public palmora_test::EngineTest {};

TEST_F(VignettePaintColour, OptionEightTintsWithThePaintColour) {
  const int w = 8, h = 6;
  const Picture p = Fill(w, h, 100, 100, 100, 128);
  PMR_SetColor(200, 30, 255);
  // Sliders' colour (0.001, 0, 1) would give blue; sharp edge; tint, rectangle, shorter side.
  const auto args = Sliders({0, 0, 1000, 0}, {0, 0, 1, 0, 0, 1, 1, 1});
  const Picture out = Apply("Vignette", p, w, h, args);
  for (int y = 0; y < h; ++y) {
    EXPECT_EQ(Px(out, w, 0, y), (std::vector<int>{200, 30, 255, 255})) << y;
    EXPECT_EQ(Px(out, w, 7, y), (std::vector<int>{200, 30, 255, 255})) << y;
    EXPECT_EQ(Px(out, w, 3, y), (std::vector<int>{100, 100, 100, 128})) << y;
  }
}

TEST(OwnEffectCases, NamesAreExactAndCaseSensitive) {
  Picture src = Fill(2, 2, 1, 2, 3, 4), dst = src;
  EXPECT_FALSE(process::RunOwnEffectOnBuffers("grayscale", src.data(), dst.data(), 2, 2, {}));
  EXPECT_FALSE(process::RunOwnEffectOnBuffers("Grayscale ", src.data(), dst.data(), 2, 2, {}));
  EXPECT_FALSE(process::RunOwnEffectOnBuffers(nullptr, src.data(), dst.data(), 2, 2, {}));
  EXPECT_EQ(dst, src);
  EXPECT_TRUE(process::RunOwnEffectOnBuffers("Invert", src.data(), dst.data(), 2, 2, {}));
  EXPECT_EQ(Px(dst, 2, 1, 1), (std::vector<int>{254, 253, 252, 4}));
}

TEST(OwnEffectCases, BufferEntryRefusesBadPictures) {
  Picture src = Fill(2, 2, 1, 2, 3, 4), dst = Fill(2, 2, 9, 9, 9, 9);
  const Picture before = dst;
  EXPECT_FALSE(process::RunOwnEffectOnBuffers("Invert", nullptr, dst.data(), 2, 2, {}));
  EXPECT_FALSE(process::RunOwnEffectOnBuffers("Invert", src.data(), nullptr, 2, 2, {}));
  EXPECT_FALSE(process::RunOwnEffectOnBuffers("Invert", src.data(), dst.data(), 0, 2, {}));
  EXPECT_FALSE(process::RunOwnEffectOnBuffers("Invert", src.data(), dst.data(), 2, -1, {}));
  EXPECT_FALSE(
      process::RunOwnEffectOnBuffers("Invert", src.data(), dst.data(), 1 << 16, 1 << 16, {}));
  EXPECT_EQ(dst, before);
}

// Sliders arrive from the host unchecked; far outside their scale they must still give defined
// results (the sanitizer build checks that no conversion overflows).
TEST(OwnEffectCases, SlidersFarOutsideTheirScaleStayDefined) {
  Picture p(9 * 7 * 4);
  for (std::size_t i = 0; i < p.size(); ++i) p[i] = uint8_t(i * 53 + 3);
  for (const char* name :
       {"Anti Alias", "Adaptive Blur", "Line Art Cleaner", "Basic Threshold", "Adjust Lab",
        "Detail Blur", "Value Blur", "Noise Reduction", "Noise Reduction RGB", "Hyper Contrast",
        "Bas Relief", "Vignette", "Channel", "Reflection", "Fader", "Borderize", "Clamp"}) {
    for (int s : {INT32_MIN, -5000, 5000, INT32_MAX}) {
      process::OwnEffectArguments a;
      for (int& v : a.sliders) v = s;
      for (int& o : a.options) o = 1;
      a.options[6] = 0;  // an ellipse, not a rectangle, for Vignette
      Picture src = p, dst(p.size());
      EXPECT_TRUE(process::RunOwnEffectOnBuffers(name, src.data(), dst.data(), 9, 7, a)) << name;
    }
  }
}

}  // namespace
