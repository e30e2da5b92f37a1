// The picture commands: effect, render, lua, info and demo.
#include <algorithm>
#include <fstream>

#include "host_runner.h"

namespace host_test {
namespace {

class Commands : public HostTest {};

// A 6 × 4 picture whose pixels all differ, with a transparent corner.
Pixels Gradient() {
  Pixels p{6, 4, {}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      p.rgba.insert(p.rgba.end(), {uint8_t(40 * x), uint8_t(60 * y), uint8_t(200 - 30 * x),
                                   uint8_t(x == 0 && y == 0 ? 0 : 255)});
  return p;
}

TEST_F(Commands, EffectTurnsTheHueAndKeepsSizeAndAlpha) {
  Pixels in = Solid(5, 3, 255, 0, 0);
  in.rgba[3] = 128;  // one half-transparent pixel keeps its alpha
  WritePng(Path("red.png"), in);
  const RunResult run =
      RunPalmora({"effect", "Adjust HSL", Path("red.png"), Path("out.png"), "--slider", "1=100",
                  "--slider", "2=50", "--slider", "3=50", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Pixels out = ReadPixels(Path("out.png"));
  ASSERT_EQ(out.width, 5);
  ASSERT_EQ(out.height, 3);
  const uint8_t* p = out.At(2, 1);
  EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{0, 255, 255, 255}));
  EXPECT_EQ(out.At(0, 0)[3], 128);
}

TEST_F(Commands, EffectListNamesWhatTheDispatcherRunsWithWhatItDoes) {
  const RunResult run = RunPalmora({"effect", "--list"});
  ASSERT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\nAdjust HSV  "), std::string::npos);
  EXPECT_NE(run.out.find("\nVignette  "), std::string::npos);
  EXPECT_NE(run.out.find("lightness; 50 % changes nothing.\n"), std::string::npos);
}

// NAME --help prints the effect's parameters; sliders left out take their described defaults,
// which for Adjust HSV (all 50 %) change nothing instead of turning the picture black.
TEST_F(Commands, EffectHelpAndDescribedDefaults) {
  const RunResult help = RunPalmora({"effect", "Adjust HSV", "--help"});
  ASSERT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--slider 3=P   value: 0..100 %, default 50"), std::string::npos)
      << help.out;
  const Pixels in = Solid(4, 2, 200, 120, 40);
  WritePng(Path("in.png"), in);
  ASSERT_EQ(RunPalmora({"effect", "Adjust HSV", Path("in.png"), Path("out.png"), "-q"}).status, 0);
  // Within the adjuster's own rounding through HSV (one level).
  const Pixels out = ReadPixels(Path("out.png"));
  ASSERT_EQ(out.rgba.size(), in.rgba.size());
  for (std::size_t i = 0; i < in.rgba.size(); ++i) EXPECT_NEAR(out.rgba[i], in.rgba[i], 1) << i;
  ASSERT_EQ(RunPalmora(
                {"effect", "Adjust HSV", Path("in.png"), Path("dark.png"), "--slider", "3=0", "-q"})
                .status,
            0);
  EXPECT_LT(ReadPixels(Path("dark.png")).At(0, 0)[0], 200);
}

// The script-file effects list their family's shipped scripts and take them by name.
TEST_F(Commands, ScriptFileEffectsTakeShippedScriptsByName) {
  const RunResult help = RunPalmora({"effect", "Backgrounds Material", "--help"});
  ASSERT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("material scripts:"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find(" wood"), std::string::npos) << help.out;
  WritePng(Path("in.png"), Solid(8, 6, 10, 20, 30));
  ASSERT_EQ(RunPalmora({"effect", "Backgrounds Material", Path("in.png"), Path("brick.png"),
                        "--text", "brick", "-q"})
                .status,
            0);
  ASSERT_EQ(RunPalmora({"effect", "Backgrounds Material", Path("in.png"), Path("wood.png"),
                        "--text", "wood", "-q"})
                .status,
            0);
  EXPECT_NE(ReadPixels(Path("brick.png")).rgba, ReadPixels(Path("wood.png")).rgba);
  const RunResult unknown = RunPalmora(
      {"effect", "Backgrounds Nature", Path("in.png"), Path("x.png"), "--text", "brick", "-q"});
  EXPECT_NE(unknown.status, 0);
  EXPECT_NE(unknown.err.find("nature scripts:"), std::string::npos) << unknown.err;
}

TEST_F(Commands, RenderReplicatesAndSamples) {
  const Pixels in = Gradient();
  WritePng(Path("in.png"), in);
  ASSERT_EQ(RunPalmora({"render", Path("in.png"), Path("big.png"), "--scale", "3", "--paper", "-q"})
                .status,
            0);
  const Pixels big = ReadPixels(Path("big.png"));
  ASSERT_EQ(big.width, 18);
  ASSERT_EQ(big.height, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 18; ++x) {
      const uint8_t* s = in.At(x / 3, y / 3);
      const bool clear = s[3] == 0;  // white paper shows through the transparent corner
      for (int c = 0; c < 3; ++c) ASSERT_EQ(big.At(x, y)[c], clear ? 255 : s[c]) << x << "," << y;
    }
  ASSERT_EQ(
      RunPalmora({"render", Path("in.png"), Path("small.png"), "--scale", "0.5", "--paper", "-q"})
          .status,
      0);
  const Pixels small = ReadPixels(Path("small.png"));
  ASSERT_EQ(small.width, 3);
  ASSERT_EQ(small.height, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      if (x || y) {
        EXPECT_EQ(small.At(x, y)[0], in.At(2 * x, 2 * y)[0]);
      }
}

TEST_F(Commands, RenderShowsTheCheckerboardBehindTransparency) {
  WritePng(Path("clear.png"), Solid(40, 8, 0, 0, 0, 0));
  ASSERT_EQ(RunPalmora({"render", Path("clear.png"), Path("out.png"), "-q"}).status, 0);
  const Pixels out = ReadPixels(Path("out.png"));
  EXPECT_EQ(out.At(0, 0)[0], 255);   // even square
  EXPECT_EQ(out.At(32, 0)[0], 159);  // odd square: 40959 >> 8
}

TEST_F(Commands, RenderTintsWhatTheMaskProtects) {
  // White paper under a clear picture; the mask picture is black (open) on the left half and
  // white (protected) on the right. At half strength a protected pixel is half paper, half the
  // even squares' tint (255, 128, 128): with the paper at 65535, each byte is
  // ((32767 × 65535 >> 8) + (32768 × 256 T >> 8)) >> 16.
  WritePng(Path("clear.png"), Solid(8, 4, 0, 0, 0, 0));
  Pixels mask = Solid(8, 4, 0, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 4; x < 8; ++x) std::fill_n(&mask.rgba[(y * 8 + x) * 4], 3, uint8_t{255});
  WritePng(Path("mask.png"), mask);
  ASSERT_EQ(RunPalmora({"render", Path("clear.png"), Path("out.png"), "--mask", Path("mask.png"),
                        "--paper", "-q"})
                .status,
            0);
  const Pixels out = ReadPixels(Path("out.png"));
  const auto expected = [](int tint) {
    return ((32767 * 65535 >> 8) + (32768 * (tint * 256) >> 8)) >> 16;
  };
  const uint8_t* open = out.At(1, 1);
  const uint8_t* shut = out.At(6, 1);
  EXPECT_EQ((std::vector<int>{open[0], open[1], open[2]}), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ((std::vector<int>{shut[0], shut[1], shut[2]}),
            (std::vector<int>{expected(255), expected(128), expected(128)}));
}

TEST_F(Commands, InfoReportsTypeSizeAndResolution) {
  WritePng(Path("p.png"), Gradient());
  const RunResult run = RunPalmora({"info", Path("p.png")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Path("p.png") + ": PNG, 6×4, 72 dpi, with transparency\n");
}

TEST_F(Commands, LuaFilterRunsAndReplaysWhatItRecords) {
  WritePng(Path("in.png"), Solid(48, 32, 200, 60, 20));
  std::ofstream(Path("paint.lua")) << "paint_open(7)\n"
                                      "paint_select_brush('pencil', 0, 0)\n"
                                      "paint_brush_size(6)\n"
                                      "paint_brush_color(0, 0, 1)\n"
                                      "paint_stroke_start(4, 16)\n"
                                      "paint_stroke_pos(44, 16, 1)\n"
                                      "paint_stroke_stop()\n"
                                      "paint_close()\n";
  ASSERT_EQ(RunPalmora({"lua", Path("paint.lua"), Path("in.png"), Path("plain.png"), "-q"}).status,
            0);
  EXPECT_EQ(ReadPixels(Path("plain.png")).rgba, Solid(48, 32, 200, 60, 20).rgba)
      << "without --replay the recording is not painted";
  const RunResult run =
      RunPalmora({"lua", Path("paint.lua"), Path("in.png"), Path("out.png"), "--replay"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("replayed 1 strokes"), std::string::npos) << run.out;
  const Pixels out = ReadPixels(Path("out.png"));
  EXPECT_GT(out.At(24, 16)[2], 100) << "a blue stroke across the middle";
  EXPECT_EQ(out.At(24, 2)[2], 20) << "and nothing above it";
}

TEST_F(Commands, DemoWritesThePageAThumbnailAndAWebPicture) {
  const RunResult run = RunPalmora({"demo", "-o", Path("demo")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("save the page"), std::string::npos);
  const Pixels page = ReadPixels(Path("demo/demo.png"));
  EXPECT_EQ(page.width, 960);
  EXPECT_EQ(page.height, 640);
  const Pixels thumbnail = ReadPixels(Path("demo/demo-thumbnail.bmp"));
  EXPECT_EQ(thumbnail.width, 160);
  EXPECT_EQ(thumbnail.height, 106);
  const Pixels web = ReadPixels(Path("demo/demo-web.jpg"));
  EXPECT_EQ(web.width, 640);
  EXPECT_EQ(web.height, 426);
}

}  // namespace
}  // namespace host_test
