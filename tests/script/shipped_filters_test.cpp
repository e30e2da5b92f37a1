// The example filters shipped in data/filters run cleanly and do what their headers say.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "engine/engine_state.h"
#include "script/lua_test_support.h"

namespace {

using palmora_test::LuaFilterTest;

class ShippedFilters : public LuaFilterTest {
 protected:
  std::string Filter(const char* name) {
    const char* root = std::getenv("PALMORA_SOURCE_DIR");
    return std::string(root ? root : ".") + "/data/filters/" + name;
  }
  void RunFilter(const char* name, std::initializer_list<int32_t> sliders,
                 std::initializer_list<int32_t> styles = {},
                 std::initializer_list<int32_t> flags = {}) {
    int32_t s[6] = {}, st[2] = {}, f[6] = {};
    std::copy(sliders.begin(), sliders.end(), s);
    std::copy(styles.begin(), styles.end(), st);
    std::copy(flags.begin(), flags.end(), f);
    RunFile(Filter(name), s, st, f);
    ASSERT_TRUE(boxes_.empty()) << name << ": " << boxes_[0].first;
  }
};

TEST_F(ShippedFilters, PosterizeLeavesFourLevelsPerChannel) {
  MakeFilterCanvas(16, 16);
  RunFilter("posterize.lua", {4000});
  std::set<int> levels;
  const auto d = DestinationCopy();
  for (std::size_t i = 0; i < d.size(); i += 4) levels.insert(d[i]);
  EXPECT_EQ(levels, (std::set<int>{0, 85, 170, 255}));
}

TEST_F(ShippedFilters, ChannelSwapReversesChannels) {
  MakeFilterCanvas(4, 4);
  RunFilter("channel_swap.lua", {}, {5});  // style 6: BGR
  const auto s = SourceCopy(), d = DestinationCopy();
  for (std::size_t i = 0; i < d.size(); i += 4) {
    EXPECT_EQ(d[i], s[i + 2]);
    EXPECT_EQ(d[i + 2], s[i]);
    EXPECT_EQ(d[i + 3], s[i + 3]);
  }
}

TEST_F(ShippedFilters, EmbossTurnsAFlatPictureMidGrey) {
  MakeFilterCanvas(6, 6);
  std::fill(Source(), Source() + 6 * 6 * 4, uint8_t(200));
  RunFilter("emboss.lua", {2000});
  EXPECT_EQ(Destination()[0], 127);
  EXPECT_EQ(Destination()[6 * 4 * 3 + 8], 127);
}

TEST_F(ShippedFilters, MaskFromHueSelectsOnlyThatHue) {
  MakeFilterCanvas(2, 1);
  const uint8_t green[4] = {10, 220, 20, 255}, red[4] = {220, 10, 20, 255};
  std::copy(green, green + 4, Source());
  std::copy(red, red + 4, Source() + 4);
  RunFilter("mask_from_hue.lua", {120000, 20000});
  EXPECT_EQ(engine::State().maskPlane[0], 65535);
  EXPECT_EQ(engine::State().maskPlane[1], 0);
}

TEST_F(ShippedFilters, PaintStrokesRecordsACompleteScript) {
  MakeFilterCanvas(64, 48);
  PMR_SetStartDir((scratch_ + "/").c_str());
  RunFilter("paint_strokes.lua", {16000}, {}, {1});
  std::ifstream file(scratch_ + "/scripts/luapaint.srp");
  std::stringstream text;
  text << file.rdbuf();
  const std::string recorded = text.str();
  EXPECT_EQ(recorded.rfind("1554\nDescription\n1\n \nRandomSeed\n1234\nSelectBrush\noil\n", 0), 0u);
  EXPECT_NE(recorded.find("DrawStart\n"), std::string::npos);
  EXPECT_EQ(recorded.substr(recorded.size() - 10), "ScriptEnd\n");
}

}  // namespace
