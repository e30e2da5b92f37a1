#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "script/lua_test_support.h"

namespace {

using palmora_test::LuaFilterTest;

class PaintScript : public LuaFilterTest {
 protected:
  void SetUp() override {
    LuaFilterTest::SetUp();
    MakeFilterCanvas(4, 4);
    PMR_SetStartDir((scratch_ + "/").c_str());
  }
  std::string Recorded() const {
    std::ifstream file(scratch_ + "/scripts/luapaint.srp", std::ios::binary);
    if (!file) return "<no file>";
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
};

TEST_F(PaintScript, WritesTheWholeFormatByteForByte) {
  Run(R"lua(
paint_open(12345)
paint_select_brush("Oil", 2, 0.5)
paint_brush_size(24)
paint_brush_density(0.75)
paint_brush_opacity(100)
paint_brush_color(1, 0.5, 0)
paint_set_color_banks("warm", 1, 0, 0, 0, 1, 0, 0, 0, 1, 0.2, 0.2, 0.2)
paint_stroke_start(10, 20)
paint_stroke_pos(10, 20, 0.5)
paint_stroke_stop()
paint_line(1, 2, 3.25, 4)
paint_spline(1, 2, 3, 4, 5, 6, 7, 8)
paint_dab(5, 6, 1/3)
paint_filter("Blur", 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20)
paint_close()
)lua");
  ASSERT_TRUE(boxes_.empty()) << boxes_[0].first;
  const std::string expected =
      "1554\nDescription\n1\n \nRandomSeed\n12345\n"
      "SelectBrush\nOil\n2\n0.5\n"
      "SetBrushSize\n24\nSetBrushDensity\n0.75\nSetBrushOpacity\n100\n"
      "SetColor\n255\n127\n0\n"
      "SetColorBanks\nwarm\n255\n0\n0\n0\n255\n0\n0\n0\n255\n51\n51\n51\n"
      "DrawStart\n10\n20\n-1\nSmoothPlot2\n0\n0\n0\n1\n0\n"
      "SmoothPlot2\n10\n20\n0.5\n0\n0\n"
      "SmoothPlot2\n0\n0\n0\n0\n1\nDrawStop\n1\n"
      "Line2\n1\n2\n3.25\n4\n"
      "Spline\n1\n2\n3\n4\n5\n6\n7\n8\n"
      "Dab\n5\n6\n0.33333333333333\n"
      "Filter\nBlur\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16\n17\n18\n19\n20\n"
      "ScriptEnd\n";
  EXPECT_EQ(Recorded(), expected);
}

TEST_F(PaintScript, MissingArgumentsKeepTheRecordLength) {
  Run("paint_open(1) paint_dab(5) paint_brush_color(nil, {}, 0.5) paint_close()");
  EXPECT_EQ(Recorded(),
            "1554\nDescription\n1\n \nRandomSeed\n1\nDab\n5\n\n\nSetColor\n\n\n127\nScriptEnd\n");
}

TEST_F(PaintScript, NothingIsWrittenWithoutOpen) {
  Run("paint_dab(1, 2, 3) paint_close()");
  EXPECT_EQ(Recorded(), "<no file>");
}

TEST_F(PaintScript, TheEndOfARunClosesTheFileWithoutTheEndLine) {
  Run("paint_open(7) paint_brush_size(3)");
  EXPECT_EQ(Recorded(), "1554\nDescription\n1\n \nRandomSeed\n7\nSetBrushSize\n3\n");
  // A failing script also closes it.
  Run("paint_open(8) error('boom')");
  EXPECT_EQ(Recorded(), "1554\nDescription\n1\n \nRandomSeed\n8\n");
}

TEST_F(PaintScript, ASecondOpenStartsAFreshFile) {
  Run("paint_open(1) paint_dab(1, 1, 1) paint_open(2) paint_dab(2, 2, 2) paint_close()");
  EXPECT_EQ(Recorded(), "1554\nDescription\n1\n \nRandomSeed\n2\nDab\n2\n2\n2\nScriptEnd\n");
}

TEST_F(PaintScript, AStartDirectoryWithoutItsSeparatorStillWorks) {
  PMR_SetStartDir(scratch_.c_str());
  Run("paint_open(3) paint_close()");
  EXPECT_EQ(Recorded(), "1554\nDescription\n1\n \nRandomSeed\n3\nScriptEnd\n");
}

TEST_F(PaintScript, AFolderThatCannotBeCreatedLeavesNoRecording) {
  PMR_SetStartDir("/proc/palmora-cannot-write-here/");
  Run("paint_open(3) paint_dab(1, 1, 1) paint_close() set_rgb(0, 0, 1, 1, 1)");
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(Destination()[0], 255);  // the script ran on
}

}  // namespace
