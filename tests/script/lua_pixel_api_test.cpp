#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/engine_state.h"
#include "engine/colour_models.h"
#include "script/lua_test_support.h"

namespace {

using palmora_test::LuaFilterTest;

using LuaPixelApi = LuaFilterTest;

// Runs code that ends in `report(...)`: every value passed is written on the destination's
// message-box channel as text, one box per call, so tests can read what the script saw.
constexpr const char* kReport = R"lua(
function report(...)
  local parts = {}
  for i = 1, select("#", ...) do parts[#parts + 1] = string.format("%.17g", (select(i, ...))) end
  message_box(table.concat(parts, " "), "report")
end
)lua";

std::vector<double> Numbers(const std::string& text) {
  std::vector<double> values;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t used = 0;
    values.push_back(std::stod(text.substr(at), &used));
    at += used;
  }
  return values;
}

TEST_F(LuaPixelApi, SettingOnePixelChangesOnlyThatPixel) {
  MakeFilterCanvas(5, 4);
  const auto source = SourceCopy();
  Run("set_rgb(0, 0, 1, 0, 0)");
  ASSERT_TRUE(boxes_.empty()) << boxes_[0].first;
  auto expected = source;
  expected[0] = 255;
  expected[1] = 0;
  expected[2] = 0;
  EXPECT_EQ(DestinationCopy(), expected);
  EXPECT_EQ(SourceCopy(), source);
}

TEST_F(LuaPixelApi, GlobalsDescribeTheCanvasAndTheDialog) {
  MakeFilterCanvas(7, 3);
  const int32_t sliders[6] = {1500, -250, 0, 1, 999, 100000};
  const int32_t styles[2] = {0, 4};
  const int32_t flags[6] = {1, 0, 0x100, 0x1FF, 0, 2};
  RunFile(WriteScript(std::string(kReport) + R"lua(
report(width, height, bound_x0, bound_y0, bound_x1, bound_y1)
report(sliderVal1, sliderVal2, sliderVal3, sliderVal4, sliderVal5, sliderVal6)
report(styleVal1, styleVal2, MERGE_NORMAL, MERGE_EXCLUSIO, MERGE_SOFT_LIGHT, MERGE_TEXTURIZE3)
report(flagVal1 and 1 or 0, flagVal2 and 1 or 0, flagVal3 and 1 or 0, flagVal4 and 1 or 0,
       flagVal6 and 1 or 0, MERGE_EXCLUSION == nil and 1 or 0)
)lua"),
          sliders, styles, flags);
  ASSERT_EQ(boxes_.size(), 4u);
  EXPECT_EQ(Numbers(boxes_[0].first), (std::vector<double>{7, 3, 0, 0, 6, 2}));
  EXPECT_EQ(Numbers(boxes_[1].first), (std::vector<double>{1.5, -0.25, 0, 0.001, 0.999, 100}));
  EXPECT_EQ(Numbers(boxes_[2].first), (std::vector<double>{1, 5, 0, 7, 10, 21}));
  EXPECT_EQ(Numbers(boxes_[3].first), (std::vector<double>{1, 0, 0, 1, 1, 1}));
}

TEST_F(LuaPixelApi, ReadsClipToZerosAndWritesOutsideDoNothing) {
  MakeFilterCanvas(4, 4);
  Run(std::string(kReport) + R"lua(
report(get_rgb(-1, 0))
report(get_rgba(4, 0))
report(get_value(0, 4), get_alpha(0, -1.0), get_mask(1e300, 0), get_mask(0/0, 0))
report(get_rgb(-0.5, 0.9))  -- truncation toward zero: pixel (0, 0)
set_rgb(4, 0, 1, 1, 1)
set_rgb(0, -1, 1, 1, 1)
set_rgba(1/0, 0, 1, 1, 1, 1)
set_value(-1/0, 2, 1)
)lua");
  ASSERT_EQ(boxes_.size(), 4u);
  EXPECT_EQ(Numbers(boxes_[0].first), (std::vector<double>{0, 0, 0}));
  EXPECT_EQ(Numbers(boxes_[1].first), (std::vector<double>{0, 0, 0, 0}));
  EXPECT_EQ(Numbers(boxes_[2].first), (std::vector<double>{0, 0, 0, 0}));
  EXPECT_EQ(Numbers(boxes_[3].first), (std::vector<double>{0, 1 / 255.0, 2 / 255.0}));
  EXPECT_EQ(DestinationCopy(), SourceCopy());
}

TEST_F(LuaPixelApi, ValuesBecomeBytesByTruncationWithinTheirRange) {
  MakeFilterCanvas(4, 1);
  Run(R"lua(
set_value(0, 0, 1.5)
set_value(1, 0, -0.2)
set_rgba(2, 0, 0.5, 1/255, 0/0, 0.999)
set_alpha(3, 0, 2)
)lua");
  const auto d = DestinationCopy();
  EXPECT_EQ(d[0], 255);
  EXPECT_EQ(d[2], 255);
  EXPECT_EQ(d[3], 3);  // alpha kept
  EXPECT_EQ(d[4], 0);
  EXPECT_EQ(d[8], 127);
  EXPECT_EQ(d[9], 1);
  EXPECT_EQ(d[10], 0);
  EXPECT_EQ(d[11], 254);
  EXPECT_EQ(d[15], 255);
}

TEST_F(LuaPixelApi, SingleBufferDecidesWhatGetsRead) {
  MakeFilterCanvas(2, 1);
  Run(std::string(kReport) + R"lua(
set_rgb(0, 0, 1, 1, 1)
report(get_rgb(0, 0))
single_buffer(true)
report(get_rgb(0, 0))
single_buffer(nil)
report(get_value(0, 0))
)lua");
  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(Numbers(boxes_[0].first), (std::vector<double>{0, 1 / 255.0, 2 / 255.0}));
  EXPECT_EQ(Numbers(boxes_[1].first), (std::vector<double>{1, 1, 1}));
  EXPECT_EQ(Numbers(boxes_[2].first),
            (std::vector<double>{(0 / 255.0 + 1 / 255.0 + 2 / 255.0) / 3}));
}

TEST_F(LuaPixelApi, ASingleBufferRunLeavesTheSourceEqualToTheResult) {
  MakeFilterCanvas(3, 3);
  Run("single_buffer(true) set_rgb(1, 1, 0, 1, 0)");
  EXPECT_EQ(SourceCopy(), DestinationCopy());
  EXPECT_EQ(Source()[16 + 1], 255);
}

// set_hsl limits the hue to 0..359 before converting: 359 is taken as it is, every hue above
// gives 359's colour (a full turn would wrap 360 round to pure red instead), and below 0 gives 0.
TEST_F(LuaPixelApi, SetHslLimitsTheHueTo359) {
  MakeFilterCanvas(6, 1);
  Run(R"lua(
set_hsl(0, 0, 358, 1, 0.5)
set_hsl(1, 0, 359, 1, 0.5)
set_hsl(2, 0, 359.5, 1, 0.5)
set_hsl(3, 0, 360, 1, 0.5)
set_hsl(4, 0, 1e9, 1, 0.5)
set_hsl(5, 0, -30, 1, 0.5)
)lua");
  ASSERT_TRUE(boxes_.empty()) << boxes_[0].first;
  const auto colour = [&](int x) {
    const uint8_t* p = Destination() + 4 * x;
    return std::vector<int>{p[0], p[1], p[2]};
  };
  uint8_t r, g, b;
  engine::HSLToRGB(359, 1, 0.5, &r, &g, &b);
  const std::vector<int> at359{r, g, b};
  // Hue 359 is red with a trace of blue, neither pure red (hue 0) nor hue 358's colour.
  EXPECT_EQ(at359[0], 255);
  EXPECT_EQ(at359[1], 0);
  EXPECT_GT(at359[2], 0);
  engine::HSLToRGB(358, 1, 0.5, &r, &g, &b);
  EXPECT_EQ(colour(0), (std::vector<int>{r, g, b}));
  EXPECT_NE(colour(0), at359);
  for (int x : {1, 2, 3, 4}) EXPECT_EQ(colour(x), at359) << "pixel " << x;
  EXPECT_EQ(colour(5), (std::vector<int>{255, 0, 0}));
}

TEST_F(LuaPixelApi, ColourModelsMatchTheEngineConversions) {
  MakeFilterCanvas(3, 1);
  // Pixel 1 holds bytes 4, 5, 6; set a saturated colour on pixel 2 through the source.
  Source()[8] = 200;
  Source()[9] = 40;
  Source()[10] = 90;
  Run(std::string(kReport) + R"lua(
report(get_hsv(2, 0))
report(get_hsl(2, 0))
report(get_lab(2, 0))
report(get_cmyk(2, 0))
report(get_hsv(9, 0))
set_hsv(0, 0, 400, 0.5, 2)
set_hsl(1, 0, 120, 1, 0.5)
set_lab(2, 0, 50, 20, -30)
)lua");
  ASSERT_EQ(boxes_.size(), 5u);
  double h, s, v;
  engine::RGBToHSV(200, 40, 90, &h, &s, &v);
  EXPECT_EQ(Numbers(boxes_[0].first), (std::vector<double>{h, s, v}));
  engine::RGBToHSL(200, 40, 90, &h, &s, &v);
  EXPECT_EQ(Numbers(boxes_[1].first), (std::vector<double>{h, s, v}));
  double x, y, z;
  engine::RGBToXYZ(200, 40, 90, &x, &y, &z);
  engine::XYZToLab(x, y, z, &x, &y, &z);
  EXPECT_EQ(Numbers(boxes_[2].first), (std::vector<double>{x, y, z}));
  double c, m, ye, k;
  engine::CMYToCMYK(1 - 200 / 255.0, 1 - 40 / 255.0, 1 - 90 / 255.0, &c, &m, &ye, &k);
  EXPECT_EQ(Numbers(boxes_[3].first), (std::vector<double>{c, m, ye, k}));
  EXPECT_EQ(Numbers(boxes_[4].first), (std::vector<double>{-1, 0, 0}));  // black outside

  uint8_t r, g, b;
  engine::HSVToRGB(359, 0.5, 1, &r, &g, &b);  // hue and value limited first
  EXPECT_EQ(Destination()[0], r);
  EXPECT_EQ(Destination()[2], b);
  EXPECT_EQ(Destination()[4], 0);
  EXPECT_EQ(Destination()[5], 255);
  engine::LabToRGB(50, 20, -30, &r, &g, &b);
  EXPECT_EQ(Destination()[8], r);
  EXPECT_EQ(Destination()[9], g);
  EXPECT_EQ(Destination()[10], b);
}

TEST_F(LuaPixelApi, MaskReadsAndWritesTheLowSixteenBits) {
  MakeFilterCanvas(4, 1);
  auto* mask = engine::State().maskPlane;
  mask[1] = 32768;
  Run(std::string(kReport) + R"lua(
report(get_mask(1, 0), get_mask(0, 0))
set_mask(0, 0, 0.5)
set_mask(2, 0, -1 / 65535)
set_mask(3, 0, 2)
)lua");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(Numbers(boxes_[0].first), (std::vector<double>{32768 / 65535.0, 1}));
  EXPECT_EQ(mask[0], 32767);
  EXPECT_EQ(mask[2], 65535);  // -1 keeps its low 16 bits
  EXPECT_EQ(mask[3], 65534);  // 131070 wraps
}

TEST_F(LuaPixelApi, BitFunctionsWorkOn32BitIntegers) {
  MakeFilterCanvas(1, 1);
  Run(std::string(kReport) + R"lua(
report(bit_shfr(-8, 1), bit_shfl(1, 33), bit_shfl(1, 31), bit_shfr(-1, 40))
report(bit_not(0), bit_and(12, 10), bit_or(12, 10), bit_xor(12, 10))
report(bit_and(4294967295, 7.9), bit_or(-2.5, 0), bit_not(0/0), bit_xor(1e300, 1))
)lua");
  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(Numbers(boxes_[0].first), (std::vector<double>{-4, 2, -2147483648.0, -1}));
  EXPECT_EQ(Numbers(boxes_[1].first), (std::vector<double>{-1, 8, 14, 6}));
  EXPECT_EQ(Numbers(boxes_[2].first), (std::vector<double>{7, -2, -1, 1}));
}

}  // namespace
