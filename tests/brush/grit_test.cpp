#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "brush/brush_fixture.h"
#include "brush/grit_windows.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"

namespace {

using brush_test::BrushTest;
using engine::State;

constexpr uint32_t kPool = 1000000;

// The grit windows as the tool describes them, from pools made by the seeded generator.
std::vector<std::vector<uint8_t>> ReferenceGrit(uint32_t seed, int32_t maxBrush, int32_t brushSize,
                                                int32_t g, int32_t cellThreshold,
                                                int32_t fillThreshold) {
  std::vector<uint8_t> poolA(kPool), poolB(kPool);
  brush_ref::Lcg lcg{seed};
  for (auto& v : poolA) v = uint8_t(lcg.Next() % 255);
  lcg = {seed};
  for (auto& v : poolB) v = uint8_t(lcg.Next() % 254);
  lcg = {seed};  // the tool restarts the sequence
  const int32_t side = maxBrush + 25, E = brushSize + 25;
  std::vector<std::vector<uint8_t>> buffers(20, std::vector<uint8_t>(std::size_t(side) * side));
  for (auto& buffer : buffers) {
    std::fill(buffer.begin(), buffer.end(), 255);
    for (int32_t r = 0; r < E; r += g) {
      std::size_t a = std::size_t(lcg.Next()) * ((kPool - 2u * g) / 32767u);
      std::size_t b = std::size_t(lcg.Next()) * ((kPool - uint32_t(g)) / 32767u);
      for (int32_t q = 0; q < E; q += g) {
        if (poolA.at(a++) >= cellThreshold) continue;
        const uint8_t v = poolB.at(b++);
        for (int32_t j = 0; j < g; ++j) {
          for (int32_t k = 0; k < g; ++k) {
            if (r + j >= E || q + k >= E) continue;
            if (poolA.at(a++) < fillThreshold) buffer.at(std::size_t(r + j) * maxBrush + q + k) = v;
          }
        }
      }
    }
  }
  return buffers;
}

std::vector<std::vector<uint8_t>> EngineGrit() {
  const auto& s = State();
  const std::size_t bytes = std::size_t(s.maxBrushSize + 25) * (s.maxBrushSize + 25);
  std::vector<std::vector<uint8_t>> buffers;
  for (const uint8_t* b : s.gritBuffers) buffers.emplace_back(b, b + bytes);
  return buffers;
}

void SetGritTool(int32_t g, int32_t cells, int32_t fill, int32_t drawingLength) {
  PMR_SetTool(1.0f, g, cells, fill, 0, 0, drawingLength, 0, 0, 0, 0, 0, 0, "", "", 0);
}

class Grit : public BrushTest {};

TEST_F(Grit, WindowsAreBuiltFromThePools) {
  PMR_SetRandomSeed(1234);
  MakeBrushCanvas(64, 64, 30, 17);
  for (int32_t g : {1, 3, 7, 50}) {
    SetGritTool(g, 140, 200, 5);
    EXPECT_EQ(EngineGrit(), ReferenceGrit(1234, 30, 17, g, 140, 200)) << "grit size " << g;
    EXPECT_EQ(brush::Tool().drawingCountdown, 5);
  }
}

TEST_F(Grit, TheSameToolGivesTheSameGritAndAnotherSeedOtherGrit) {
  PMR_SetRandomSeed(5);
  MakeBrushCanvas(32, 32, 16, 16);
  SetGritTool(2, 128, 128, 1);
  const auto first = EngineGrit();
  PMR_DrawDabGrit(5, 5, 0, 0, 0);  // moves the generator on
  SetGritTool(2, 128, 128, 1);
  EXPECT_EQ(EngineGrit(), first);
  palmora_test::ResetEngine();
  PMR_SetRandomSeed(6);
  MakeBrushCanvas(32, 32, 16, 16);
  SetGritTool(2, 128, 128, 1);
  EXPECT_NE(EngineGrit(), first);
}

// Cell sizes up to and past the pool's length, and thresholds that fill every cell, must keep every
// read inside the pools and every write inside the buffers (the sanitizer build checks).
TEST_F(Grit, ExtremeCellSizesStayInsideThePoolsAndBuffers) {
  MakeBrushCanvas(64, 64, 40, 40);
  for (int32_t g : {1, 2, 64, 499999, 500000, 500001, 999999, 1000000, 1000001, INT_MAX}) {
    SetGritTool(g, 256, 256, 0);
    for (const auto& b : EngineGrit()) EXPECT_LT(b[0], 255) << g;  // a cell starts every window
  }
  SetGritTool(-5, 256, 256, 0);  // a negative size has no cells
  EXPECT_EQ(brush::Tool().gritSize, 0);
}

TEST_F(Grit, DensityDecidesWhichGritPixelsPaint) {
  MakeBrushCanvas(24, 24, 16, 16);
  SetGritTool(1, 256, 256, 100);
  PMR_SetDensity(0);  // grit bytes are never below 0
  PMR_DrawDabGrit(12, 12, 0, 0, 0);
  for (std::size_t i = 0; i < 24 * 24; ++i) ASSERT_EQ(State().layers[2].pixels[i * 4 + 3], 0);
  // 256 lets every byte through: the dab is the one without grit.
  PMR_SetDensity(256);
  PMR_DrawDabGrit(12, 12, 0, 0, 0);
  const auto withGrit = brush_test::Copy(State().layers[2].pixels, 24 * 24 * 4);
  std::fill_n(State().layers[2].pixels, 24 * 24 * 4, 0);
  SetGritTool(0, 0, 0, 0);
  PMR_DrawDabGrit(12, 12, 0, 0, 0);
  EXPECT_EQ(brush_test::Copy(State().layers[2].pixels, 24 * 24 * 4), withGrit);
}

// With the countdown run out, a dab draws a buffer (again while it is the window in use with no
// offset, as right after the tool was set), then a row and a column offset below 25.
TEST_F(Grit, DabsDrawABufferThenItsRowAndColumnOffsets) {
  PMR_SetRandomSeed(99);
  MakeBrushCanvas(24, 24, 16, 8);
  SetGritTool(3, 128, 128, 0);
  auto& t = brush::Tool();
  for (int dab = 0; dab < 30; ++dab) {
    brush_ref::Lcg lcg{engine::Generator().state()};
    const auto previous = t.gritPosition;
    int32_t buffer;
    do {
      buffer = lcg.Next() % 20;
    } while (buffer == previous.buffer && previous.offset == 0);
    const int32_t row = lcg.Next() % 25, column = lcg.Next() % 25;
    PMR_DrawDabGrit(3, 30, 0, 0, 0);  // below the canvas: only the window is drawn
    EXPECT_EQ(t.gritPosition.buffer, buffer);
    EXPECT_EQ(t.gritPosition.offset, row * 16 + column);
    EXPECT_EQ(engine::Generator().state(), lcg.x);
  }
  // While the countdown lasts the window stays; PMR_DecDrawingLength counts it down.
  t.drawingLength = 2;
  t.drawingCountdown = 2;
  const auto kept = t.gritPosition;
  PMR_DrawDabGrit(3, 30, 0, 0, 0);
  EXPECT_EQ(t.gritPosition.offset, kept.offset);
  PMR_DecDrawingLength();
  PMR_DecDrawingLength();
  EXPECT_EQ(t.drawingCountdown, 0);
}

// Windows cut from a grey picture: x = rand() mod (W - side), then y likewise, side = brush + 25,
// copied into each buffer as a maxBrushSize-wide picture (what does not fit it is left at 255).
TEST_F(Grit, TextureWindowsAreCutAtRandomPlacesOfThePicture) {
  MakeBrushCanvas(16, 16, 40, 10);
  const int32_t W = 97, H = 80, side = 35;
  std::vector<uint8_t> grey(W * H);
  for (int i = 0; i < W * H; ++i) grey[i] = uint8_t(i * 7 + i / W);
  engine::Generator().Seed(3);
  brush_ref::Lcg lcg{3};
  brush::CutGritWindowsFromPicture(grey.data(), W, H);
  const auto& s = State();
  for (int b = 0; b < 20; ++b) {
    const int32_t x = lcg.Next() % (W - side), y = lcg.Next() % (H - side);
    for (int32_t row = 0; row < 40 + 25; ++row) {
      for (int32_t col = 0; col < 40; ++col) {
        const uint8_t expected = row < side && col < side ? grey[(y + row) * W + x + col] : 255;
        ASSERT_EQ(s.gritBuffers[b][row * 40 + col], expected) << b << " " << row << " " << col;
      }
    }
  }
}

// A picture no larger than a window gives what it holds, from its corner; nothing outside it is
// read (the sanitizer build checks).
TEST_F(Grit, TexturePicturesSmallerThanAWindowGiveWhatTheyHold) {
  MakeBrushCanvas(16, 16, 40, 30);
  const int32_t W = 10, H = 7;
  std::vector<uint8_t> grey(W * H, 9);
  brush::CutGritWindowsFromPicture(grey.data(), W, H);
  const auto& s = State();
  EXPECT_EQ(s.gritBuffers[5][6 * 40 + 9], 9);
  EXPECT_EQ(s.gritBuffers[5][6 * 40 + 10], 255);
  EXPECT_EQ(s.gritBuffers[5][7 * 40 + 0], 255);
}

}  // namespace
