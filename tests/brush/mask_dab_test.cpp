#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "brush/brush_fixture.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"

namespace {

using brush_test::BrushTest;
using brush_test::Copy;
using brush_test::FillRandom;
using engine::State;

class MaskDab : public BrushTest {};

// Deterministic mask dabs against the mask rule written out pixel by pixel.
TEST_F(MaskDab, MatchesTheMaskRuleOverRandomPlanes) {
  std::mt19937 rng(3);
  const int32_t maxBrush = 16, width = 23, height = 19;
  MakeBrushCanvas(width, height, maxBrush, 1);
  auto& s = State();
  for (int round = 0; round < 400; ++round) {
    const int32_t size = 1 + int32_t(rng() % maxBrush);
    PMR_SetSize(size);
    const int32_t strength = rng() % 2 ? 1 + int32_t(rng() % 256) : 0;
    PMR_SetTool(1.0f, 0, 0, 0, 0, 0, 0, strength, rng() % 2 ? int32_t(rng() % 256) : 0,
                int32_t(rng() % 2), 0, 0, 0, "", "", 0);
    PMR_SetAlpha(rng() % 2 ? 100 : int32_t(rng() % 100));
    PMR_SetColor(int32_t(rng() % 256), int32_t(rng() % 256), int32_t(rng() % 256));
    if (rng() % 4 == 0) PMR_SetColor(0, 0, 0);
    FillRandom(s.shapeBuffer, std::size_t(maxBrush) * maxBrush, rng);
    FillRandom(s.blendBuffer, std::size_t(maxBrush) * maxBrush * 4, rng);
    FillRandom(s.maskPlane, std::size_t(width) * height, rng);
    PMR_SetMaskMakerOn();
    if (rng() % 4 == 0) PMR_SetEraseModeOn();
    if (rng() % 5 == 0) PMR_TempDisableBlend();
    const auto& t = brush::Tool();
    std::vector<uint16_t> mask = Copy(s.maskPlane, std::size_t(width) * height);
    std::vector<uint16_t> blend = Copy(s.blendBuffer, std::size_t(maxBrush) * maxBrush * 4);
    const int64_t L = (int64_t{engine::State().brushColor[0]} + engine::State().brushColor[1] +
                       engine::State().brushColor[2]) /
                      3;
    int64_t T = L < 256 ? 65535 : 65280 - L;
    if (t.eraseModeOn) T = 65535;
    const bool blending = t.blendStrength != 0 && !t.blendOffOnce;
    const int32_t x = int32_t(rng() % (width + 10)) - 5, y = int32_t(rng() % (height + 10)) - 5;
    const int32_t left = x - size / 2, top = y - size / 2;
    for (int32_t j = 0; j < size; ++j) {
      for (int32_t i = 0; i < size; ++i) {
        const int32_t cx = left + i, cy = top + j;
        if (cx < 0 || cy < 0 || cx >= width || cy >= height) continue;
        int64_t a = s.shapeBuffer[j * maxBrush + i];
        if (t.alphaPercent < 100) a = (a * t.alphaScaled) >> 7;
        if (a == 0) continue;
        int64_t value = T;
        uint16_t& carried = blend[std::size_t(j) * maxBrush * 4 + i];
        if (blending) {
          value = carried;
          if (t.blendPrimaryColorStrength != 0) {
            value = (t.blendPrimaryColorInverse * value + t.blendPrimaryColorStrength * T) >> 8;
          }
        }
        uint16_t& M = mask[std::size_t(cy) * width + cx];
        if (blending && t.blendRemix) {
          carried = uint16_t(std::min<int64_t>(
              65535, ((t.blendStrengthInverse * M + t.blendStrength * value) >> 8) + 1));
        }
        M = uint16_t((((65536 - a) * M >> 8) + ((a * value) >> 8)) >> 8);
      }
    }
    PMR_DrawDabGrit(x, y, engine::State().brushColor[0], engine::State().brushColor[1],
                    engine::State().brushColor[2]);
    ASSERT_EQ(Copy(s.maskPlane, std::size_t(width) * height), mask) << round;
    ASSERT_EQ(Copy(s.blendBuffer, std::size_t(maxBrush) * maxBrush * 4), blend) << round;
    // Mask making and erasing stay on for the following mask dabs; only blendOffOnce is spent
    // (by a dab with rows on the canvas).
    EXPECT_EQ(t.maskMakerOn, 1);
    if (y + size - size / 2 > 0 && y - size / 2 < height) {
      EXPECT_EQ(t.blendOffOnce, 0);
    }
  }
}

TEST_F(MaskDab, BlackOpensAndWhiteClosesWithoutTouchingTheLayer) {
  MakeBrushCanvas(12, 12, 8, 8);
  auto& s = State();
  const auto layer = Copy(s.layers[2].pixels, 12 * 12 * 4);
  std::fill_n(s.maskPlane, 144, 0);
  PMR_SetColor(0, 0, 0);
  PMR_DrawDabGritMask(6, 6);
  EXPECT_EQ(s.maskPlane[6 * 12 + 6], (((1u * 0) >> 8) + ((65535u * 65535u) >> 8)) >> 8);
  PMR_SetColor(255, 255, 255);
  PMR_DrawDabGritMask(6, 6);
  EXPECT_EQ(s.maskPlane[6 * 12 + 6], 0);
  EXPECT_EQ(Copy(s.layers[2].pixels, 12 * 12 * 4), layer);
  EXPECT_EQ(s.undo.pending.left, 2);  // the engine's rectangle grows, the paint layer's does not
}

}  // namespace
