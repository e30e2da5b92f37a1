#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "brush/brush_fixture.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"

namespace {

using brush_test::BrushTest;
using brush_test::Copy;
using engine::State;

int64_t Limit(int64_t v) { return std::min<int64_t>(65535, std::max<int64_t>(0, v)); }

int64_t Lum(int64_t ch, int32_t range, int32_t b) {
  const double f = (128 - (range >> 1) + b % range) * (1.0 / 256);
  if (f > 0.5) return int64_t((65535 - ch) * ((f - 0.5) * 2) + ch);
  return int64_t(ch - ch * ((0.5 - f) * 2));
}

class Stroke : public BrushTest {};

// Per-pixel variations on a 4 x 4 dab over clear pixels (which take the source unchanged): the row
// pointers restart at a random place when unset or near the array's end, and advance once per
// painted pixel; the colour variation moves alpha too, the luminance variation restarts from the
// dab colour.
TEST_F(Stroke, PixelVariationsReadTheirArraysRowByRow) {
  PMR_SetRandomSeed(4242);
  MakeBrushCanvas(8, 8, 4, 4);
  auto& s = State();
  PMR_SetPixColorVary(9);
  PMR_SetPixLumVary(60);
  std::fill_n(s.shapeBuffer, 16, 65535);
  s.shapeBuffer[5] = 0;  // one skipped pixel, which must not advance the pointers
  const auto& t = brush::Tool();
  const uint8_t* colourBytes = t.pixColorArray.data;
  const uint8_t* lumBytes = t.pixLumArray.data;
  const int64_t length = t.pixColorArray.length;  // 12
  brush_ref::Lcg lcg{engine::Generator().state()};
  std::vector<int64_t> expected(8 * 8 * 4, 0);
  int64_t cp = -1, lp = -1;
  const int64_t dab[4] = {0x1200, 0x8000, 0xF000, 65535};
  for (int row = 0; row < 4; ++row) {
    if (cp < 0 || cp + 4 >= length - 1) cp = lcg.Next() % 4;
    if (lp < 0 || lp + 4 >= length - 1) lp = lcg.Next() % 4;
    for (int col = 0; col < 4; ++col) {
      if (row == 1 && col == 1) continue;
      const int32_t b = colourBytes[cp++];
      const int64_t v = ((9 & ~1) - 2 * (b % 9)) * 128;
      const int32_t lb = lumBytes[lp++];
      int64_t* p = &expected[((row + 2) * 8 + col + 2) * 4];
      for (int c = 0; c < 3; ++c) p[c] = Limit(Lum(dab[c], 60, lb));
      p[3] = (65535 * Limit(dab[3] + v)) >> 16;
    }
  }
  PMR_DrawDabGrit(4, 4, 0x1234, 0x8000, 0xF0FF);
  const auto got = Copy(s.layers[2].pixels, 8 * 8 * 4);
  EXPECT_EQ(std::vector<int64_t>(got.begin(), got.end()), expected);
  EXPECT_EQ(engine::Generator().state(), lcg.x);
}

// A stroke replayed after the same tool and seed reproduces bit for bit, with grit, colour
// variation, per-pixel variations, carried paint and a rule that draws random numbers.
TEST_F(Stroke, ReplaysBitForBitAfterTheSameToolAndSeed) {
  auto paint = [](uint32_t seed) {
    palmora_test::ResetEngine();
    PMR_SetRandomSeed(seed);
    PMR_CreateImage(nullptr, 64, 48, 24, 0);
    for (int32_t index = 0; index <= 2; ++index) PMR_CreateLayer(index, 64, 48);
    PMR_SetLayer(2);
    PMR_SetSize(17);
    PMR_SetAlpha(80);
    PMR_SetTool(1.0f, 2, 150, 180, 60, 20, 3, 120, 40, 1, 0, 0, 0, "", "", 0);
    PMR_SetPixColorVary(7);
    PMR_SetPixLumVary(30);
    PMR_SetDensity(200);
    PMR_SetColorBanks(10, 20, 30, 200, 100, 0, 0, 0, 255, 255, 255, 255);
    PMR_CopyBlendBufferSurface(5, 5, 100, 0);
    for (int i = 0; i < 60; ++i) {
      if (i == 30) PMR_SetMixMode(253, 180);
      PMR_MixBlendBufferSurface(5 + i, 5 + i / 2, 128);
      PMR_DrawDabGrit(5 + i, 5 + i / 2, 40000, 1000, 30000);
    }
    // The blend buffer's used square: the 17 x 17 pixels of the brush.
    std::vector<uint16_t> carried;
    for (int row = 0; row < 17; ++row) {
      const uint16_t* b = State().blendBuffer + row * 24 * 4;
      carried.insert(carried.end(), b, b + 17 * 4);
    }
    return std::make_pair(Copy(State().layers[2].pixels, 64 * 48 * 4), carried);
  };
  const auto first = paint(11);
  EXPECT_EQ(paint(11), first);
  EXPECT_NE(paint(12).first, first.first);
}

}  // namespace
