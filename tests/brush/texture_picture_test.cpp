// Grit windows cut from texture pictures: picture files read as grey, picture scripts tiled over a
// 600 x 600 square first, and the grit left alone when no picture can be had. Also strokes with a
// picture shape and a texture, written as pictures to be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "brush/brush_fixture.h"
#include "brush/picture_files.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "support/png_snapshot.h"

namespace {

using brush_test::BrushTest;
using brush_test::Grey;
using brush_test::Rgba;
using engine::State;

std::vector<uint8_t> GreyOf(const Rgba& p) {
  std::vector<uint8_t> grey(std::size_t(p.width) * p.height);
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x)
      grey[std::size_t(y) * p.width + x] = uint8_t(Grey(p.At(x, y)));
  return grey;
}

class TexturePicture : public BrushTest {
 protected:
  static void SetTextureTool(const std::string& texture, int32_t gritSize = 0,
                             int32_t drawingLength = 6) {
    PMR_SetTool(1.0f, gritSize, 150, 200, 0, 0, drawingLength, 0, 0, 0, 0, 0, 0, texture.c_str(),
                "", 0);
  }
  static std::vector<std::vector<uint8_t>> GritBuffers() {
    const auto& s = State();
    const std::size_t bytes = std::size_t(s.maxBrushSize + 25) * (s.maxBrushSize + 25);
    std::vector<std::vector<uint8_t>> out;
    for (const uint8_t* b : s.gritBuffers) out.emplace_back(b, b + bytes);
    return out;
  }
  // The twenty windows as a texture of W x H grey pixels gives them after the tool reseeds the
  // generator with `seed`: the top-left corner x = rand() mod (W - side), then y likewise, with
  // side = brush + 25 (a picture no larger than that is cut from its corner, after the same
  // draws); each window laid into a buffer taken as a maxBrush-wide square, 255 around it.
  // `drawn` numbers are taken from the generator before the first window.
  static void ExpectWindows(const std::vector<uint8_t>& grey, int32_t W, int32_t H, uint32_t seed,
                            int32_t drawn = 0) {
    const auto& s = State();
    const int32_t max = s.maxBrushSize, side = brush::Tool().brushSize + 25;
    brush_ref::Lcg lcg{seed};
    for (int32_t k = 0; k < drawn; ++k) lcg.Next();
    for (int32_t b = 0; b < 20; ++b) {
      const int32_t drawX = lcg.Next(), drawY = lcg.Next();
      const int32_t x = W > side ? drawX % (W - side) : 0, y = H > side ? drawY % (H - side) : 0;
      const int32_t rows = std::min({side, H, max}), cols = std::min({side, W, max});
      for (int32_t row = 0; row < max + 25; ++row) {
        for (int32_t col = 0; col < max; ++col) {
          const uint8_t expected =
              row < rows && col < cols ? grey[std::size_t(y + row) * W + x + col] : 255;
          ASSERT_EQ(s.gritBuffers[b][std::size_t(row) * max + col], expected)
              << "buffer " << b << " row " << row << " column " << col;
        }
      }
    }
  }
  // A script's texture: its picture repeated from the corner over a 600 x 600 square, in grey.
  static void ExpectScriptWindows(const std::string& script, uint32_t seed) {
    const Rgba tile = brush_test::PaintScript(script);
    ASSERT_GT(tile.width, 0);
    std::vector<uint8_t> tiled(600 * 600);
    for (int32_t y = 0; y < 600; ++y)
      for (int32_t x = 0; x < 600; ++x)
        tiled[y * 600 + x] = uint8_t(Grey(tile.At(x % tile.width, y % tile.height)));
    SetTextureTool(script);
    ExpectWindows(tiled, 600, 600, seed);
  }
  brush_test::ScratchFiles files_;
};

TEST_F(TexturePicture, FileWindowsAreCutAtRandomPlacesOfItsGrey) {
  MakeBrushCanvas(16, 16, 40, 10);
  PMR_SetRandomSeed(77);
  const Rgba picture = brush_test::RandomRgba(90, 70, 8);
  for (const std::string& path : {files_.Png("texture", picture), files_.Bmp("texture", picture)}) {
    SetTextureTool(path, 0, 6);
    ExpectWindows(GreyOf(picture), 90, 70, 77);
    EXPECT_EQ(brush::Tool().drawingCountdown, 6);
    // A texture replaces the grit built from the random pools, after the grit builder's two
    // draws for each band of 3 rows of the 35 x 35 window in each of the 20 buffers.
    SetTextureTool(path, 3, 6);
    ExpectWindows(GreyOf(picture), 90, 70, 77, 20 * 12 * 2);
  }
}

TEST_F(TexturePicture, ScriptsAreTiledOverASixHundredSquare) {
  MakeBrushCanvas(16, 16, 24, 20);
  PMR_SetRandomSeed(5);
  const std::string script =
      files_.Text("tile.picscript", "picture-script 1\nsize 7 5\neffect 5\n  0 = 3\n  1 = 80\n");
  ExpectScriptWindows(script, 5);
}

// With grit, the grit from the random pools stays when the texture cannot be had; without, the
// buffers stay as they were.
TEST_F(TexturePicture, UnusableTexturesLeaveTheGritAlone) {
  MakeBrushCanvas(16, 16, 30, 12);
  PMR_SetRandomSeed(9);
  SetTextureTool("", 2);
  const auto grit = GritBuffers();
  const std::string bad[] = {
      "/no/such/texture.png",
      files_.Bytes("empty.png", {}),
      files_.Text("words.bmp", "BM but nothing else"),
      files_.Text("bad.picscript", "picture-script 1\nsize 4 4\neffect 9999\n"),
      files_.Text("failing.picscript", "picture-script 1\nsize 4 4\neffect 51\n  5 = 7\n"),
      ::testing::TempDir(),
      "x",
  };
  for (const std::string& name : bad) {
    SetTextureTool(name, 2);
    EXPECT_EQ(GritBuffers(), grit) << name;
  }
  // A picture the engine heap cannot hold is skipped without a word.
  PMR_SetLastError("");
  const std::string good = files_.Png("good", brush_test::RandomRgba(80, 80, 1));
  engine::SetAllocationCeilingForTesting(4096);
  SetTextureTool(good, 2);
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_EQ(GritBuffers(), grit);
  EXPECT_STREQ(PMR_GetLastError(), "");
}

// Pictures smaller than a window give what they hold; a brush wider than the tiled square takes
// the square from its corner. Nothing outside a picture is read (the sanitizer build checks).
TEST_F(TexturePicture, PicturesSmallerThanAWindowGiveWhatTheyHold) {
  MakeBrushCanvas(16, 16, 40, 30);
  PMR_SetRandomSeed(3);
  const Rgba small = brush_test::RandomRgba(12, 9, 2);
  SetTextureTool(files_.Png("small", small));
  ExpectWindows(GreyOf(small), 12, 9, 3);
  const Rgba column = brush_test::RandomRgba(1, 200, 4);
  SetTextureTool(files_.Png("column", column));
  ExpectWindows(GreyOf(column), 1, 200, 3);
}

TEST_F(TexturePicture, BrushesWiderThanTheTiledSquareTakeItFromItsCorner) {
  MakeBrushCanvas(16, 16, 640, 590);
  PMR_SetRandomSeed(4);
  const std::string script =
      files_.Text("plasma.picscript", "picture-script 1\nsize 64 64\neffect 5\n");
  ExpectScriptWindows(script, 4);
}

// Strokes with a picture shape (a ring with a bar, turned), with a texture, and both, flattened
// over white. With PALMORA_TEST_PNG_DIR set they are written there to be looked at; the test
// checks that the shape and texture are what the dabs painted through.
TEST_F(TexturePicture, StrokesWithPictureShapesAndTextures) {
  constexpr int32_t kWidth = 360, kHeight = 200;
  MakeBrushCanvas(kWidth, kHeight, 64, 40);
  PMR_SetRandomSeed(2026);
  Rgba ring{48, 48, std::vector<uint8_t>(48 * 48 * 4, 0)};
  for (int32_t y = 0; y < 48; ++y) {
    for (int32_t x = 0; x < 48; ++x) {
      const double d = std::hypot(x - 23.5, y - 23.5);
      const bool on = (d > 14 && d < 22) || (std::abs(x - y) < 4 && d < 22);
      const uint8_t v = on ? uint8_t(255 - d * 3) : 0;
      uint8_t* p = &ring.pixels[(std::size_t(y) * 48 + x) * 4];
      p[0] = p[1] = p[2] = v, p[3] = 255;
    }
  }
  const std::string shape = files_.Png("ring", ring);
  const std::string texture = files_.Text(
      "canvas.picscript", "picture-script 1\nsize 96 96\neffect 11\n  1 = 12\n  2 = 3\n");

  // The host counts the dabs down, so that every fourth dab reads another window.
  auto line = [](int32_t y, int32_t r, int32_t g, int32_t b) {
    for (int32_t x = 40; x < kWidth - 40; x += 14) {
      PMR_DrawDabGrit(x, y, r, g, b);
      PMR_DecDrawingLength();
    }
  };
  PMR_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", shape.c_str(), 30);
  PMR_SetAlpha(60);
  line(40, 0x9000, 0x1800, 0x2000);
  PMR_SetTool(1.0f, 1, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, texture.c_str(), "", 0);
  PMR_SetDensity(120);
  PMR_SetAlpha(100);
  line(100, 0x1800, 0x4000, 0xA000);
  PMR_SetTool(1.0f, 1, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, texture.c_str(), shape.c_str(), -45);
  PMR_SetDensity(150);
  line(160, 0x2000, 0x7000, 0x3000);

  const uint16_t* layer = State().layers[2].pixels;
  std::vector<uint8_t> bgr(std::size_t(kWidth) * kHeight * 3);
  std::size_t painted[3] = {};
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const uint16_t* p = layer + (std::size_t(y) * kWidth + x) * 4;
      const double alpha = p[3] / 65535.0;
      for (int c = 0; c < 3; ++c)
        bgr[(std::size_t(y) * kWidth + x) * 3 + 2 - c] =
            uint8_t((p[c] >> 8) * alpha + 255 * (1 - alpha));
      if (p[3] != 0) ++painted[std::min(y / 67, 2)];
    }
  }
  palmora_test::SnapshotBGR("brush_picture_shape_and_texture", bgr.data(), kWidth, kHeight,
                            kWidth * 3);
  // The ring's hole and the texture's gaps leave much of each band's dab area unpainted.
  for (std::size_t count : painted) {
    EXPECT_GT(count, 2000u);
    EXPECT_LT(count, std::size_t(kWidth - 60) * 40);
  }
}

}  // namespace
