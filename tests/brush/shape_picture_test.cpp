// Brush shapes made from pictures: files and scripts written by the tests, read as grey, turned,
// optionally smeared, resampled, cached, and the circle whenever no picture can be had.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "brush/brush_fixture.h"
#include "brush/picture_files.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/resample.h"
#include "process/effects/own_effect_model.h"
#include "support/png_snapshot.h"

namespace {

using brush_test::BrushTest;
using brush_test::Grey;
using brush_test::Rgba;
using engine::State;

// Coverage of a picture shape: the grey of each pixel x 256 x the shape scale, truncated, at the
// shape buffer's stride; 0 outside the picture.
std::vector<uint16_t> CoverageOf(const Rgba& p, int32_t maxBrush, double scale = 1.0) {
  std::vector<uint16_t> plane(std::size_t(maxBrush) * maxBrush, 0);
  for (int32_t y = 0; y < p.height; ++y) {
    for (int32_t x = 0; x < p.width; ++x) {
      const double v = std::min(65535.0, Grey(p.At(x, y)) * 256 * scale);
      plane[std::size_t(y) * maxBrush + x] = uint16_t(v);
    }
  }
  return plane;
}

// The picture turned by quarter turns anticlockwise as seen: the top row becomes the left column.
Rgba QuarterTurns(const Rgba& p, int32_t turns) {
  Rgba out = p;
  for (int32_t t = 0; t < turns; ++t) {
    const Rgba in = out;
    for (int32_t y = 0; y < in.height; ++y) {
      for (int32_t x = 0; x < in.width; ++x) {
        std::copy_n(in.At(in.width - 1 - y, x), 4,
                    &out.pixels[(std::size_t(y) * in.width + x) * 4]);
      }
    }
  }
  return out;
}

// A picture resized by the library with one filter code, as the shape builders call it.
Rgba Resized(const Rgba& p, int32_t side, uint32_t method) {
  Rgba out{side, side, std::vector<uint8_t>(std::size_t(side) * side * 4)};
  EXPECT_TRUE(imaging::is5_ResizeImage(p.pixels.data(), p.width, p.height, p.width * 4,
                                       out.pixels.data(), side, side, side * 4, 4, method, 0));
  return out;
}

class PictureShape : public BrushTest {
 protected:
  std::vector<uint16_t> Shape() const {
    const auto& s = State();
    return brush_test::Copy(s.shapeBuffer, std::size_t(s.maxBrushSize) * s.maxBrushSize);
  }
  // The circle the builders fall back to, for the current settings.
  std::vector<uint16_t> Circle() {
    PMR_SetBrushShape("", 0);
    return Shape();
  }
  static void SetShapeTool(const std::string& shape, int32_t angle, float scale = 1.0f,
                           int32_t drawingLength = 0) {
    PMR_SetTool(scale, 0, 0, 0, 0, 0, drawingLength, 0, 0, 0, 0, 0, 0, "", shape.c_str(), angle);
  }
  brush_test::ScratchFiles files_;
};

TEST_F(PictureShape, FilePicturesBecomeTheirGreyTimes256) {
  MakeBrushCanvas(16, 16, 10, 6);
  const Rgba picture = brush_test::RandomRgba(6, 6, 1);
  for (const std::string& path : {files_.Png("six", picture), files_.Bmp("six", picture)}) {
    SetShapeTool(path, 0, 0.5f, 7);
    EXPECT_EQ(Shape(), CoverageOf(picture, 10, 0.5)) << path;
    EXPECT_EQ(brush::Tool().drawingCountdown, 7);
    PMR_SetBrushShape_ORIGINAL(path.c_str(), 0);
    EXPECT_EQ(Shape(), CoverageOf(picture, 10, 0.5)) << path;
  }
  // Neither the soft rim nor the inversion applies to pictures; a scale above 1 saturates.
  PMR_SetTool(1.5f, 0, 0, 0, 200, 0, 0, 0, 0, 0, 0, 1, 0, "", files_.Png("six", picture).c_str(),
              0);
  EXPECT_EQ(Shape(), CoverageOf(picture, 10, 1.5));
}

TEST_F(PictureShape, QuarterTurnsMovePixelsExactly) {
  MakeBrushCanvas(16, 16, 8, 8);
  for (int32_t side : {5, 6}) {
    PMR_SetSize(side);
    const Rgba picture = brush_test::RandomRgba(side, side, side);
    const std::string path = files_.Png("turn" + std::to_string(side), picture);
    for (int32_t angle : {90, 180, 270, -90, 450}) {
      PMR_SetBrushShape(path.c_str(), angle);
      EXPECT_EQ(Shape(), CoverageOf(QuarterTurns(picture, ((angle / 90) % 4 + 4) % 4), 8))
          << side << " " << angle;
    }
  }
}

// The cached picture is the turned one: a repeat with the same name and angle needs no file (and
// turns nothing twice); another angle reads the file anew.
TEST_F(PictureShape, RepeatedBuildsReuseTheCachedPicture) {
  MakeBrushCanvas(16, 16, 8, 8);
  const Rgba picture = brush_test::RandomRgba(8, 8, 2);
  const std::string path = files_.Png("cached", picture);
  SetShapeTool(path, 90);
  const std::vector<uint16_t> turned = CoverageOf(QuarterTurns(picture, 1), 8);
  ASSERT_EQ(Shape(), turned);
  const uint8_t* cached = State().shapeImageCache.pixels;
  std::remove(path.c_str());
  SetShapeTool(path, 90);
  EXPECT_EQ(Shape(), turned);
  EXPECT_EQ(State().shapeImageCache.pixels, cached);

  // A smaller brush resamples the cache: an area average of 2 x 2 blocks (within the rounding of
  // one grey step).
  PMR_SetSize(4);
  SetShapeTool(path, 90);
  const Rgba turnedPicture = QuarterTurns(picture, 1);
  const std::vector<uint16_t> shape = Shape();
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      int32_t mean[3] = {};
      for (int32_t c = 0; c < 3; ++c) {
        for (int32_t k = 0; k < 4; ++k)
          mean[c] += turnedPicture.At(2 * x + k % 2, 2 * y + k / 2)[c];
        mean[c] = (mean[c] + 2) / 4;
      }
      const uint8_t rgb[3] = {uint8_t(mean[0]), uint8_t(mean[1]), uint8_t(mean[2])};
      EXPECT_NEAR(shape[y * 8 + x], Grey(rgb) * 256, 256) << x << " " << y;
    }
  }

  PMR_SetSize(8);
  SetShapeTool(path, 0);  // another angle: the file is gone, so the circle
  EXPECT_EQ(Shape(), Circle());
  EXPECT_EQ(State().shapeImageCache.pixels, nullptr);
}

// The current builder runs a name as a picture script before it tries it as a file; the older
// one reads files only, so a script gives it the circle.
TEST_F(PictureShape, ScriptsArePaintedByTheCurrentBuilderOnly) {
  MakeBrushCanvas(16, 16, 10, 7);
  const std::vector<uint16_t> circle = Circle();
  const std::string script =
      files_.Text("noise.picscript", "picture-script 1\nsize 7 7\neffect 21\n  0 = 9\n  2 = 1\n");
  const Rgba painted = brush_test::PaintScript(script);
  ASSERT_EQ(painted.width, 7);
  SetShapeTool(script, 0, 1.0f, 3);
  EXPECT_EQ(Shape(), CoverageOf(painted, 10));
  EXPECT_EQ(brush::Tool().drawingCountdown, 3);
  EXPECT_NE(Shape(), circle);
  PMR_SetBrushShape(script.c_str(), 180);
  EXPECT_EQ(Shape(), CoverageOf(QuarterTurns(painted, 2), 10));
  PMR_SetBrushShape_ORIGINAL(script.c_str(), 270);
  EXPECT_EQ(Shape(), circle);
}

// Which resampling each builder asks for: the current one averages areas when the brush is
// narrower than the picture and uses Lanczos 3 otherwise; the older one uses Lanczos 3 unless a
// side is below 5, then bicubic.
TEST_F(PictureShape, EachBuilderResamplesWithItsOwnMethod) {
  MakeBrushCanvas(16, 16, 24, 8);
  const Rgba big = brush_test::RandomRgba(13, 11, 3), tiny = brush_test::RandomRgba(4, 3, 4);
  const std::string bigPath = files_.Png("big", big), tinyPath = files_.Png("tiny", tiny);
  struct Case {
    const std::string& path;
    const Rgba& picture;
    int32_t side;
    uint32_t current, original;
  } cases[] = {{bigPath, big, 8, 15, 8},
               {bigPath, big, 4, 15, 17},
               {bigPath, big, 20, 8, 8},
               {tinyPath, tiny, 9, 8, 17},
               {tinyPath, tiny, 3, 15, 17}};
  for (const Case& c : cases) {
    PMR_SetSize(c.side);
    PMR_SetBrushShape(c.path.c_str(), 0);
    EXPECT_EQ(Shape(), CoverageOf(Resized(c.picture, c.side, c.current), 24)) << c.side;
    PMR_SetBrushShape_ORIGINAL(c.path.c_str(), 0);
    EXPECT_EQ(Shape(), CoverageOf(Resized(c.picture, c.side, c.original), 24)) << c.side;
    // The methods differ visibly on these pictures, so the checks above tell them apart.
    EXPECT_NE(Resized(c.picture, c.side, c.current).pixels,
              Resized(c.picture, c.side, c.current == 15 ? 8 : 15).pixels);
  }
}

// With a blur level the picture is first smeared by "Value Blur": brighter predecessors do
// nothing, darker ones pull with weight (100 - level) / 100, over the eight scans.
TEST_F(PictureShape, BlurLevelsSmearThePictureBeforeResampling) {
  MakeBrushCanvas(16, 16, 12, 9);
  const Rgba picture = brush_test::RandomRgba(9, 9, 5);
  const std::string path = files_.Png("blur", picture);
  for (int32_t level : {1, 40, 99}) {
    effects_model::Run run{9, 9, picture.pixels, picture.pixels};
    effects_model::Args args;
    args.chain = 1;
    args.sliders[1] = (100 - level) * 10;
    effects_model::RunModel("Value Blur", args, run);
    PMR_SetShapeBlur(level);
    SetShapeTool(path, 0);
    EXPECT_EQ(Shape(), CoverageOf(Rgba{9, 9, run.dst}, 12)) << level;
    EXPECT_NE(Shape(), CoverageOf(picture, 12)) << level;
  }
  // Level 100 gives the smear no weight; levels up to 0 skip it; the older builder ignores it.
  // The cache keeps the sharp picture throughout.
  for (int32_t level : {100, 1000, 0, -5}) {
    PMR_SetShapeBlur(level);
    SetShapeTool(path, 0);
    EXPECT_EQ(Shape(), CoverageOf(picture, 12)) << level;
  }
  PMR_SetShapeBlur(40);
  PMR_SetBrushShape_ORIGINAL(path.c_str(), 0);
  EXPECT_EQ(Shape(), CoverageOf(picture, 12));
}

// The smear at rising levels spreads dark further into the picture, so the shape loses coverage
// level by level up to 99; at 100 the smear has no weight and the picture is whole again. With
// PALMORA_TEST_PNG_DIR set the shapes are written side by side to be looked at.
TEST_F(PictureShape, RisingBlurLevelsDarkenTheShapeStepByStep) {
  MakeBrushCanvas(16, 16, 48, 48);
  Rgba blotch{48, 48, std::vector<uint8_t>(48 * 48 * 4, 255)};
  for (int32_t y = 0; y < 48; ++y) {
    for (int32_t x = 0; x < 48; ++x) {
      const double d = std::hypot(x - 23.5, y - 23.5) / 22;
      const double streak = 0.6 + 0.4 * std::sin(x * 0.7 + y * 0.2);
      uint8_t* p = &blotch.pixels[(std::size_t(y) * 48 + x) * 4];
      p[0] = p[1] = p[2] = uint8_t(d < 1 ? 255 * (1 - d * d) * streak : 0);
    }
  }
  const std::string path = files_.Png("blotch", blotch);
  const int32_t levels[] = {0, 5, 20, 50, 80, 99, 100};
  std::vector<uint8_t> strip(std::size_t(48) * 7 * 48 * 3);
  double previous = 1e300;
  for (int32_t i = 0; i < 7; ++i) {
    PMR_SetShapeBlur(levels[i]);
    SetShapeTool(path, 0);
    const std::vector<uint16_t> shape = Shape();
    double total = 0;
    for (int32_t y = 0; y < 48; ++y) {
      for (int32_t x = 0; x < 48; ++x) {
        total += shape[y * 48 + x];
        uint8_t* q = &strip[(std::size_t(y) * 48 * 7 + i * 48 + x) * 3];
        q[0] = q[1] = q[2] = uint8_t(shape[y * 48 + x] >> 8);
      }
    }
    if (levels[i] < 100) {
      EXPECT_LT(total, previous) << levels[i];
      previous = total;
    } else {
      EXPECT_EQ(shape, CoverageOf(blotch, 48));
    }
  }
  palmora_test::SnapshotBGR("brush_shape_blur_levels", strip.data(), 48 * 7, 48, 48 * 7 * 3);
}

// A picture wider than the brush but not as tall is still brought to the brush's square.
TEST_F(PictureShape, BlurredWidePicturesLowerThanTheBrushStillGiveAPicture) {
  MakeBrushCanvas(16, 16, 8, 8);
  Rgba flat{16, 4, std::vector<uint8_t>(16 * 4 * 4)};
  for (std::size_t i = 0; i < flat.pixels.size(); i += 4) {
    flat.pixels[i] = 200, flat.pixels[i + 1] = 120, flat.pixels[i + 2] = 40,
    flat.pixels[i + 3] = 255;
  }
  PMR_SetShapeBlur(50);
  SetShapeTool(files_.Png("wide", flat), 0);
  const uint16_t expected = uint16_t(Grey(flat.At(0, 0)) * 256);
  const std::vector<uint16_t> shape = Shape();
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) ASSERT_EQ(shape[y * 8 + x], expected) << x << " " << y;
  }
}

TEST_F(PictureShape, UnusablePicturesGiveTheCircleAndReadNothingOutside) {
  MakeBrushCanvas(16, 16, 12, 5);
  const std::vector<uint16_t> circle = Circle();
  const Rgba picture = brush_test::RandomRgba(5, 5, 6);
  const std::string good = files_.Png("good", picture);
  std::vector<uint8_t> png;
  {
    FILE* f = std::fopen(good.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    for (int c; (c = std::fgetc(f)) != EOF;) png.push_back(uint8_t(c));
    std::fclose(f);
  }
  // A PNG header that promises 65535 x 65535 pixels and ends there.
  std::vector<uint8_t> huge(png.begin(), png.begin() + 33);
  for (int k : {16, 17, 20, 21}) huge[k] = 0;
  for (int k : {18, 19, 22, 23}) huge[k] = 0xFF;
  // A script that loads but fails as it runs (a turn of unknown quality) paints nothing, and no
  // block of undefined pixels becomes a shape.
  const std::string failing =
      files_.Text("failing.picscript", "picture-script 1\nsize 4 4\neffect 51\n  5 = 7\n");
  {
    std::vector<uint8_t> pixels(4 * 4 * 4);
    imaging::ISL_Initialize();
    EXPECT_TRUE(imaging::ISL_LoadScriptFromFile(failing.c_str()) && imaging::ISL_InitBuffers());
    EXPECT_FALSE(imaging::ISL_ExecuteScript(pixels.data(), 4, 4));
    imaging::ISL_Finish();
  }
  const std::string bad[] = {
      files_.Bytes("empty.png", {}),
      files_.Bytes("truncated.png",
                   std::vector<uint8_t>(png.begin(), png.begin() + png.size() / 2)),
      files_.Bytes("huge.png", huge),
      files_.Text("words.png", "not a picture\n"),
      files_.Text("broken.picscript", "picture-script 1\nsize 0 0\n"),
      failing,
      ::testing::TempDir(),
      "/no/such/picture.png",
  };
  for (const std::string& path : bad) {
    SetShapeTool(good, 0);
    ASSERT_EQ(Shape(), CoverageOf(picture, 12));
    SetShapeTool(path, 0);
    EXPECT_EQ(Shape(), circle) << path;
    PMR_SetBrushShape_ORIGINAL(path.c_str(), 0);
    EXPECT_EQ(Shape(), circle) << path;
  }

  // Names too long for the cache's 1024-byte record are refused without touching the cache.
  SetShapeTool(good, 0);
  const uint8_t* cached = State().shapeImageCache.pixels;
  for (std::size_t length : {1024u, 5000u}) {
    SetShapeTool(std::string(length, 'a'), 0);
    EXPECT_EQ(Shape(), circle) << length;
    EXPECT_EQ(State().shapeImageCache.pixels, cached);
  }

  // A picture the engine heap cannot hold: the circle, and the failure is reported.
  PMR_SetLastError("");
  engine::SetAllocationCeilingForTesting(64);
  SetShapeTool(files_.Png("other", picture), 0);
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_EQ(Shape(), circle);
  EXPECT_STREQ(PMR_GetLastError(), "SetBrushShape Excpt");
}

// One pixel blown up to a whole brush is one flat coverage; a brush of size 1 takes a picture's
// average. Nothing is read outside the small picture.
TEST_F(PictureShape, ExtremeSizeRatiosStayInsideThePictures) {
  MakeBrushCanvas(16, 16, 40, 40);
  Rgba one{1, 1, {90, 180, 30, 255}};
  SetShapeTool(files_.Png("one", one), 0);
  const std::vector<uint16_t> shape = Shape();
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 40; ++x) ASSERT_EQ(shape[y * 40 + x], Grey(one.pixels.data()) * 256);
  }
  PMR_SetSize(1);
  const Rgba wide = brush_test::RandomRgba(300, 2, 7);
  SetShapeTool(files_.Png("wide", wide), 0);
  EXPECT_NE(Shape()[0], 0);
  EXPECT_EQ(Shape()[1], 0);
  EXPECT_EQ(Shape()[40], 0);
}

}  // namespace
