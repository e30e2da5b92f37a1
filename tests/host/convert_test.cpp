// palmora convert as a user runs it: 16-bit PNGs kept to the last bit, pixels moved where a crop,
// turn or flip puts them, the engine's resampler, JPEG quality, and refusals that write nothing.
#include <cstdlib>
#include <functional>

#include "host_runner.h"
#include "png16_reference.h"

namespace host_test {
namespace {

using Convert = HostTest;

// Every sample different, so that a pixel in the wrong place or a lost low byte shows.
Png16 Distinct(int width, int height, bool opaque) {
  Png16 p{width, height, 16, 4, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 4; ++c)
        p.samples.push_back(c == 3 && opaque ? 65535 : uint16_t(x * 4099 + y * 257 + c * 13 + 1));
  return p;
}

TEST_F(Convert, SixteenBitPngKeepsEverySampleAndEightBitsFillTheRange) {
  for (const bool opaque : {false, true}) {
    const Png16 in = Distinct(13, 7, opaque);
    WritePng16(Path("in.png"), in);
    ASSERT_EQ(RunPalmora({"convert", Path("in.png"), Path("out.png"), "-q"}).status, 0);
    const Png16 out = ReadPng16(Path("out.png"));
    EXPECT_EQ(out.bitDepth, 16);
    EXPECT_EQ(out.channels, opaque ? 3 : 4);  // an opaque picture is written without alpha
    EXPECT_EQ(out.samples, in.samples) << (opaque ? "opaque" : "with alpha");
  }
  // Through standard input and output as well.
  const std::string command =
      "\"" PALMORA_HOST_PROGRAM "\" convert - - < " + Path("in.png") + " > " + Path("piped.png");
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadPng16(Path("piped.png")).samples, Distinct(13, 7, true).samples);

  // --depth 8 keeps the high bytes; 8-bit samples written at 16 bits reach 65535.
  ASSERT_EQ(RunPalmora({"convert", Path("in.png"), Path("eight.png"), "--depth", "8", "-q"}).status,
            0);
  const Png16 eight = ReadPng16(Path("eight.png"));
  EXPECT_EQ(eight.bitDepth, 8);
  EXPECT_EQ(eight.samples[4], Distinct(13, 7, true).samples[4] >> 8);
  WritePng(Path("solid.png"), Solid(3, 2, 255, 128, 0));
  ASSERT_EQ(
      RunPalmora({"convert", Path("solid.png"), Path("deep.png"), "--depth", "16", "-q"}).status,
      0);
  const Png16 deep = ReadPng16(Path("deep.png"));
  EXPECT_EQ(deep.bitDepth, 16);
  EXPECT_EQ(std::vector<uint16_t>(deep.samples.begin(), deep.samples.begin() + 4),
            (std::vector<uint16_t>{65535, 128 * 257, 0, 65535}));
}

TEST_F(Convert, CropTurnAndFlipPutEveryPixelWhereExpected) {
  const int w = 5, h = 3;
  const Png16 in = Distinct(w, h, false);
  WritePng16(Path("in.png"), in);
  struct Case {
    std::vector<std::string> options;
    int width, height;
    std::function<std::pair<int, int>(int, int)> source;  // output (x, y) -> input (x, y)
  };
  const std::vector<Case> cases = {
      {{"--turn", "90"},
       h,
       w,
       [&](int x, int y) {
         return std::pair{y, h - 1 - x};
       }},
      {{"--turn", "180"},
       w,
       h,
       [&](int x, int y) {
         return std::pair{w - 1 - x, h - 1 - y};
       }},
      {{"--turn", "270"},
       h,
       w,
       [&](int x, int y) {
         return std::pair{w - 1 - y, x};
       }},
      {{"--flip", "h"},
       w,
       h,
       [&](int x, int y) {
         return std::pair{w - 1 - x, y};
       }},
      {{"--flip", "v"},
       w,
       h,
       [&](int x, int y) {
         return std::pair{x, h - 1 - y};
       }},
      {{"--crop", "1,1,3,2"},
       3,
       2,
       [&](int x, int y) {
         return std::pair{x + 1, y + 1};
       }},
      // Crop first, then the turn: the 3 x 3 block from column 1 turned clockwise.
      {{"--turn", "90", "--crop", "1,0,3,3"},
       3,
       3,
       [&](int x, int y) {
         return std::pair{y + 1, 2 - x};
       }},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments{"convert", Path("in.png"), Path("out.png"), "-q"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const RunResult run = RunPalmora(arguments);
    ASSERT_EQ(run.status, 0) << c.options[0] << ": " << run.err;
    const Png16 out = ReadPng16(Path("out.png"));
    ASSERT_EQ(out.width, c.width) << c.options[0] << " " << c.options[1];
    ASSERT_EQ(out.height, c.height) << c.options[0] << " " << c.options[1];
    for (int y = 0; y < out.height; ++y)
      for (int x = 0; x < out.width; ++x) {
        const auto [sx, sy] = c.source(x, y);
        for (int k = 0; k < 4; ++k)
          ASSERT_EQ(out.samples[(std::size_t(y) * out.width + x) * 4 + k],
                    in.samples[(std::size_t(sy) * w + sx) * 4 + k])
              << c.options[0] << " " << c.options[1] << " at " << x << "," << y;
      }
  }
}

TEST_F(Convert, ResizeGoesThroughTheEnginesResampler) {
  WritePng(Path("flat.png"), Solid(40, 30, 200, 100, 50));
  ASSERT_EQ(RunPalmora({"convert", Path("flat.png"), Path("small.png"), "--resize", "20x10", "-q"})
                .status,
            0);
  const Pixels small = ReadPixels(Path("small.png"));
  ASSERT_EQ(small.width, 20);
  ASSERT_EQ(small.height, 10);
  for (int i = 0; i < 20 * 10; ++i)
    ASSERT_EQ(std::vector<uint8_t>(small.rgba.begin() + i * 4, small.rgba.begin() + i * 4 + 4),
              (std::vector<uint8_t>{200, 100, 50, 255}));
  ASSERT_EQ(
      RunPalmora({"convert", Path("flat.png"), Path("half.jpeg"), "--scale", "0.5", "-q"}).status,
      0);
  EXPECT_EQ(ReadPixels(Path("half.jpeg")).width, 20);
  EXPECT_EQ(ReadPixels(Path("half.jpeg")).height, 15);
  // A 16-bit picture stays a 16-bit file; the resampler's 8 bits are spread to the full range.
  WritePng16(Path("deep.png"), Distinct(8, 8, true));
  ASSERT_EQ(
      RunPalmora({"convert", Path("deep.png"), Path("deep2.png"), "--scale", "2", "-q"}).status, 0);
  const Png16 deep = ReadPng16(Path("deep2.png"));
  EXPECT_EQ(deep.bitDepth, 16);
  EXPECT_EQ(deep.width, 16);
  for (const uint16_t sample : deep.samples) ASSERT_EQ(sample % 257, 0) << sample;
}

TEST_F(Convert, JpegQualityAndRefusalsThatWriteNothing) {
  Pixels picture{64, 64, {}};
  for (int i = 0; i < 64 * 64; ++i)
    picture.rgba.insert(picture.rgba.end(),
                        {uint8_t(i * 37), uint8_t(i * 91 >> 3), uint8_t(i), 255});
  WritePng(Path("in.png"), picture);
  ASSERT_EQ(RunPalmora({"convert", Path("in.png"), Path("low.jpg"), "--quality", "5", "-q"}).status,
            0);
  ASSERT_EQ(
      RunPalmora({"convert", Path("in.png"), Path("high.jpg"), "--quality", "95", "-q"}).status, 0);
  EXPECT_LT(std::filesystem::file_size(Path("low.jpg")) * 2,
            std::filesystem::file_size(Path("high.jpg")));

  const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
      {{"out.jpg", "--quality", "0"}, "--quality 0 is outside 1..100"},
      {{"out.jpg", "--quality", "101"}, "--quality 101 is outside 1..100"},
      {{"out.png", "--quality", "50"}, "--quality applies to JPEG output only"},
      {{"out.jpg", "--depth", "16"}, "--depth 16 is written as PNG only"},
      {{"out.png", "--crop", "60,0,10,10"}, "reaches outside the 64×64 picture"},
      {{"out.png", "--crop", "1,2,3"}, "expected X,Y,W,H"},
      {{"out.png", "--resize", "10x10", "--filter", "Smooth"},
       "is not one of the resampler's filters"},
      {{"out.wmf"}, "WMF is read but not written"},
  };
  for (const auto& [options, message] : refusals) {
    std::vector<std::string> arguments{"convert", Path("in.png")};
    arguments.push_back(Path(options[0]));
    arguments.insert(arguments.end(), options.begin() + 1, options.end());
    const RunResult run = RunPalmora(arguments);
    EXPECT_TRUE(OneLineFailure(run)) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(Path(options[0]))) << message;
  }
}

}  // namespace
}  // namespace host_test
