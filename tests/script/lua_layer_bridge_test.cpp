// A filter run reaching the current layer: the final write, flush, merge and the brush colours.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "script/lua_test_support.h"

namespace {

using palmora_test::LuaFilterTest;

class LuaLayerBridge : public LuaFilterTest {
 protected:
  static constexpr int32_t kW = 9, kH = 7;

  void SetUp() override {
    LuaFilterTest::SetUp();
    MakeFilterCanvas(kW, kH);
    // Opaque source pixels, so that the 8-bit round trip through the layer is exact.
    for (std::size_t i = 3; i < std::size_t(kW) * kH * 4; i += 4) Source()[i] = 255;
    PMR_EnableMask(0);
  }

  static std::vector<uint8_t> LayerBytes() {
    std::vector<uint8_t> out(std::size_t(kW) * kH * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), kW * 4, 2), 1);
    return out;
  }

  // Layer 2 as opaque grey 0x80.
  static void GreyLayer() {
    std::vector<uint8_t> grey(std::size_t(kW) * kH * 4, 0x80);
    for (std::size_t i = 3; i < grey.size(); i += 4) grey[i] = 255;
    ASSERT_EQ(PMR_LoadRGBA32(grey.data(), kW * 4, 0), 1);
  }
};

TEST_F(LuaLayerBridge, TheDestinationLandsInTheCurrentLayer) {
  Run("set_rgb(0, 0, 1, 0, 0)");
  const auto layer = LayerBytes();
  EXPECT_EQ(layer, DestinationCopy());
  EXPECT_EQ(layer[0], 255);
  EXPECT_EQ(layer[1], 0);
  EXPECT_EQ(layer[2], 0);
  // Every other pixel is the source as it was.
  EXPECT_TRUE(std::equal(layer.begin() + 4, layer.end(), SourceCopy().begin() + 4));
}

TEST_F(LuaLayerBridge, FailedScriptLeavesTheLayer) {
  GreyLayer();
  const auto before = LayerBytes();
  Run("set_rgb(0, 0, 1, 0, 0)\nthis is not lua");
  EXPECT_EQ(LayerBytes(), before);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].second, "Lua Script Error");
}

TEST_F(LuaLayerBridge, FlushWritesTheLayerAndMakesItTheSource) {
  GreyLayer();
  Run(R"(
    set_rgb(1, 0, 0, 1, 0)
    flush()
    local r, g, b = get_rgb(1, 0)
    set_rgb(2, 0, r, g, b)
  )");
  const auto layer = LayerBytes();
  EXPECT_EQ(layer[4 + 1], 255);
  EXPECT_EQ(layer[8 + 0], 0);
  EXPECT_EQ(layer[8 + 1], 255);  // read back from the flushed source, not the original
  EXPECT_EQ(SourceCopy()[4 + 1], 255);
}

TEST_F(LuaLayerBridge, MergeCompositesAndRereadsTheLayer) {
  GreyLayer();
  // White multiplied over grey leaves grey; the source is then the layer, not the pattern.
  Run(R"(
    for y = 0, height - 1 do for x = 0, width - 1 do set_rgba(x, y, 1, 1, 1, 1) end end
    merge(MERGE_MULTIPLY, 1)
  )");
  const auto source = SourceCopy();
  for (std::size_t i = 0; i < source.size(); i += 4) {
    ASSERT_EQ(source[i], 0x80) << i;
    ASSERT_EQ(source[i + 3], 255) << i;
  }
  // The run still ends by writing the destination (white) into the layer.
  EXPECT_EQ(LayerBytes()[0], 255);
}

TEST_F(LuaLayerBridge, MergeOpacityIsTruncatedBeforeScaling) {
  GreyLayer();
  // Opacity 0.5 becomes 0: the layer keeps its grey, and the source rereads it.
  Run(R"(
    for y = 0, height - 1 do for x = 0, width - 1 do set_rgba(x, y, 1, 0, 0, 1) end end
    merge(MERGE_NORMAL, 0.5)
    single_buffer(false)
    local r = get_rgb(4, 3)
    message_box(string.format("%.0f", r * 255), "after")
  )");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].first, "128");
}

TEST_F(LuaLayerBridge, BadMergeModeLeavesTheLayer) {
  GreyLayer();
  Run(R"(
    set_rgba(0, 0, 1, 0, 0, 1)
    merge(99, 1)
    merge(-1, 1)
    local r = get_rgb(0, 0)
    message_box(string.format("%.0f", r * 255), "after")
  )");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].first, "128");  // the source was never reread from the grey layer
}

TEST_F(LuaLayerBridge, BrushColoursAreTheHighBytes) {
  PMR_SetColor(10, 200, 255);
  PMR_SetColorBanks(1, 2, 3, 40, 50, 60, 70, 80, 90, 253, 254, 255);
  Run(R"(
    local function show(r, g, b) return string.format("%.0f %.0f %.0f", r * 255, g * 255, b * 255) end
    message_box(show(get_color()) .. "|" .. show(get_color1()) .. "|" .. show(get_color2()) ..
                "|" .. show(get_color3()) .. "|" .. show(get_color4()), "colours")
  )");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].first, "10 200 255|1 2 3|40 50 60|70 80 90|253 254 255");
}

}  // namespace
