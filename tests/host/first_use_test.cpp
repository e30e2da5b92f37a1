// What a first user of the program meets: the version, the zoom of render, a script that brings
// its own canvas size, and script values outside their range reported instead of limited.
#include <cstdlib>
#include <fstream>

#include "host_runner.h"

namespace host_test {
namespace {

using FirstUse = HostTest;

TEST_F(FirstUse, VersionIsPrinted) {
  const RunResult run = RunPalmora({"--version"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("palmora ", 0), 0u) << run.out;
}

TEST_F(FirstUse, RenderScaleIsAZoomAndOnlyWholeZoomsMagnify) {
  WritePng(Path("in.png"), Solid(10, 6, 200, 100, 50));
  for (const auto& [zoom, width, height] :
       std::vector<std::tuple<std::string, int, int>>{{"1", 10, 6}, {"2", 20, 12}, {"0.5", 5, 3}}) {
    const RunResult run =
        RunPalmora({"render", Path("in.png"), Path("out.png"), "--scale", zoom, "-q"});
    ASSERT_EQ(run.status, 0) << zoom << ": " << run.err;
    const Pixels out = ReadPixels(Path("out.png"));
    EXPECT_EQ(out.width, width) << zoom;
    EXPECT_EQ(out.height, height) << zoom;
  }
  const RunResult half = RunPalmora({"render", Path("in.png"), Path("odd.png"), "--scale", "1.5"});
  EXPECT_TRUE(OneLineFailure(half));
  EXPECT_NE(half.err.find("whole number"), std::string::npos) << half.err;
}

TEST_F(FirstUse, AScriptCanSetItsCanvasSizeAndTheCommandLineWins) {
  const std::string script = WriteScript("sized.srp", {"CanvasSize", "40", "30"});
  ASSERT_EQ(RunPalmora({"paint", script, "-o", Path("a.png"), "-q"}).status, 0);
  EXPECT_EQ(ReadPixels(Path("a.png")).width, 40);
  EXPECT_EQ(ReadPixels(Path("a.png")).height, 30);
  ASSERT_EQ(RunPalmora({"paint", script, "-o", Path("b.png"), "--size", "12x8", "-q"}).status, 0);
  EXPECT_EQ(ReadPixels(Path("b.png")).width, 12);

  const std::string late =
      WriteScript("late.srp", Join({Colour(1, 2, 3), {"CanvasSize", "40", "30"}}));
  const RunResult run = RunPalmora({"paint", late, "-o", Path("c.png")});
  EXPECT_TRUE(OneLineFailure(run));
  EXPECT_NE(run.err.find("CanvasSize must come before"), std::string::npos) << run.err;
}

TEST_F(FirstUse, ScriptValuesOutsideTheirRangeAreReported) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"SetBrushSize", "300"}, "the brush size 300 is outside 1..256"},
      {{"SetBrushSize", "0"}, "the brush size 0 is outside 1..256"},
      {{"SetColor", "10", "256", "0"}, "a colour channel 256 is outside 0..255"},
      {{"SetBrushOpacity", "-1"}, "the opacity -1 is outside 0..100"},
      {{"SetBrushDensity", "101"}, "the density 101 is outside 0..100"},
  };
  for (const auto& [records, message] : cases) {
    const std::string script = WriteScript("bad.srp", records);
    const RunResult run = RunPalmora({"paint", script, "-o", Path("out.png"), "--size", "8x8"});
    EXPECT_TRUE(OneLineFailure(run)) << message;
    EXPECT_NE(run.err.find("bad.srp:7: " + message), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace host_test

namespace host_test {
namespace {

TEST_F(FirstUse, PicturesFlowThroughStandardInputAndOutput) {
  WritePng(Path("in.png"), Solid(9, 5, 40, 80, 120));
  const std::string command = "\"" PALMORA_HOST_PROGRAM "\" effect \"Adjust HSV\" - - < " +
                              Path("in.png") + " > " + Path("out.png");
  ASSERT_EQ(std::system(command.c_str()), 0);
  const Pixels out = ReadPixels(Path("out.png"));
  ASSERT_EQ(out.width, 9);
  // Nothing but the picture on standard output: the file ends with PNG's closing chunk.
  std::ifstream file(Path("out.png"), std::ios::binary | std::ios::ate);
  file.seekg(-8, std::ios::end);
  char tail[8] = {};
  file.read(tail, 8);
  EXPECT_EQ(std::string(tail, 4), "IEND");
}

TEST_F(FirstUse, InfoReportsEveryFileAndFailsWhenOneIsMissing) {
  WritePng(Path("a.png"), Solid(3, 2, 0, 0, 0));
  WritePng(Path("b.png"), Solid(4, 7, 0, 0, 0, 0));
  const RunResult both = RunPalmora({"info", Path("a.png"), Path("b.png")});
  EXPECT_EQ(both.status, 0) << both.err;
  EXPECT_NE(both.out.find("a.png: PNG, 3×2"), std::string::npos) << both.out;
  EXPECT_NE(both.out.find("b.png: PNG, 4×7"), std::string::npos) << both.out;
  const RunResult missing = RunPalmora({"info", Path("a.png"), Path("none.png"), Path("b.png")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("b.png: PNG"), std::string::npos) << "the files after it are reported";
  EXPECT_NE(missing.err.find("none.png"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace host_test
