#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/parallel_rows.h"
#include "palmora/palmora.h"
#include "engine/colour_models.h"

namespace {

std::vector<uint8_t> Pixels(std::initializer_list<uint8_t> bytes) { return bytes; }

TEST(HslHsvAdjust, HueTurnsPrimariesAndAlphaStays) {
  // Turned by 120 degrees red becomes green, and blue lands on 360, which is red again.
  auto px = Pixels({255, 0, 0, 17, 0, 0, 255, 200});
  EXPECT_EQ(PMR_ProcessBuffer_HSVAdjust(px.data(), 2, 1, 120, 0, 0), 8);
  EXPECT_EQ(px, Pixels({0, 255, 0, 17, 255, 0, 0, 200}));
  px = Pixels({255, 0, 0, 17, 0, 0, 255, 200});
  EXPECT_EQ(PMR_ProcessBuffer_HSLAdjust(px.data(), 1, 2, 120, 0, 0), 4);
  EXPECT_EQ(px, Pixels({0, 255, 0, 17, 255, 0, 0, 200}));
  // Blue turned by 180 degrees is yellow.
  px = Pixels({0, 0, 255, 3});
  PMR_ProcessBuffer_HSLAdjust(px.data(), 1, 1, 180, 0, 0);
  EXPECT_EQ(px, Pixels({255, 255, 0, 3}));
  // Negative shifts wrap below 0; whole extra turns change nothing.
  px = Pixels({255, 0, 0, 1});
  PMR_ProcessBuffer_HSVAdjust(px.data(), 1, 1, -120 - 720, 0, 0);
  EXPECT_EQ(px, Pixels({0, 0, 255, 1}));
}

TEST(HslHsvAdjust, SaturationAndLightnessAreClampedPercentages) {
  // (200, 100, 100) in HSL: l = 150/255, s = (100/255) / (2 - 300/255) = 100/210.
  // +100 % saturation clamps to 1: hi = l + 1 - l = 1, lo = 2l - 1 = 45/255 -> (255, 45, 45).
  auto px = Pixels({200, 100, 100, 9});
  PMR_ProcessBuffer_HSLAdjust(px.data(), 1, 1, 0, 100, 0);
  EXPECT_EQ(px, Pixels({255, 45, 45, 9}));
  // -100 % lightness gives black, +100 % white, in either model.
  px = Pixels({10, 200, 30, 0, 10, 200, 30, 0});
  PMR_ProcessBuffer_HSLAdjust(px.data(), 2, 1, 0, 0, -100);
  EXPECT_EQ(px, Pixels({0, 0, 0, 0, 0, 0, 0, 0}));
  px = Pixels({10, 200, 30, 0});
  PMR_ProcessBuffer_HSVAdjust(px.data(), 1, 1, 0, 0, 100);
  // v = 1, s unchanged = 190/200: p = 1 - 0.95 = 0.05 -> 12; hue 126.3 -> sector 2.
  EXPECT_EQ(px[1], 255);
  EXPECT_EQ(px[0], 12);
}

TEST(HslHsvAdjust, GreysStayGreyInHsvButTakeHueInHsl) {
  auto px = Pixels({100, 100, 100, 255});
  PMR_ProcessBuffer_HSVAdjust(px.data(), 1, 1, 90, 50, 0);
  EXPECT_EQ(px[0], px[1]);
  EXPECT_EQ(px[1], px[2]);
  EXPECT_LE(std::abs(px[0] - 100), 1);  // value x 255 truncates
  px = Pixels({100, 100, 100, 255});
  PMR_ProcessBuffer_HSLAdjust(px.data(), 1, 1, 0, 50, 0);
  // Hue 0 with s 0.5, l 100/255: hi = l x 1.5 -> red 150; lo = 2l - hi is a hair below 50/255
  // in doubles, and truncation makes green and blue 49.
  EXPECT_EQ(px, Pixels({150, 49, 49, 255}));
}

TEST(HslHsvAdjust, RefusesNullAndEmpty) {
  EXPECT_EQ(PMR_ProcessBuffer_HSLAdjust(nullptr, 4, 4, 10, 10, 10), 0);
  auto px = Pixels({1, 2, 3, 4});
  EXPECT_EQ(PMR_ProcessBuffer_HSVAdjust(px.data(), 0, 1, 10, 10, 10), 0);
  EXPECT_EQ(PMR_ProcessBuffer_HSVAdjust(px.data(), 1, -1, 10, 10, 10), 0);
  EXPECT_EQ(px, Pixels({1, 2, 3, 4}));
}

}  // namespace

namespace {

// A picture large enough to be split into bands and to repeat its colours: every pixel must
// still be exactly the conversion of its own colour (HSL there and back with the shifts applied,
// written out here from the colour models).
TEST(HslHsvAdjust, LargePicturesGiveEachPixelItsOwnConversion) {
  const int w = 300, h = 257;
  std::vector<uint8_t> px(std::size_t(w) * h * 4);
  uint32_t x = 12345;
  for (std::size_t i = 0; i < px.size(); ++i)
    px[i] = uint8_t((x = x * 1103515245u + 12345u) >> 27 << 3);
  std::vector<uint8_t> expected = px;
  for (std::size_t i = 0; i < expected.size(); i += 4) {
    double hue, s, l;
    engine::RGBToHSL(expected[i], expected[i + 1], expected[i + 2], &hue, &s, &l);
    hue += 40;
    if (hue > 360) hue -= 360;
    s = std::clamp(s + -30 * 0.01, 0.0, 1.0);  // shifts are percent x 0.01
    l = std::clamp(l + 15 * 0.01, 0.0, 1.0);
    engine::HSLToRGB(hue, s, l, &expected[i], &expected[i + 1], &expected[i + 2]);
  }
  engine::SetRowBandThreadsForTesting(3);
  PMR_ProcessBuffer_HSLAdjust(px.data(), w, h, 40, -30, 15);
  engine::SetRowBandThreadsForTesting(0);
  EXPECT_EQ(px, expected);
}

}  // namespace
