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

constexpr int32_t kMixRules[] = {0,   32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,
                                 44,  45,  46,  47,  48,  249, 250, 251, 252, 253, 254, 255, 256,
                                 257, 258, 259, 260, 261, 262, 295, 340, 387, 388, 77};

class BlendBuffer : public BrushTest {
 protected:
  static constexpr int32_t kMax = 16, kWidth = 21, kHeight = 17;
  void SetUp() override {
    BrushTest::SetUp();
    MakeBrushCanvas(kWidth, kHeight, kMax, 10);
    SetPlainTool(128);
  }
  std::vector<uint16_t> Blend() const { return Copy(State().blendBuffer, kMax * kMax * 4); }
  // The canvas alpha as the blend buffer reads it: scaled by the mask where the mask is on.
  static int64_t ReadAlpha(int64_t alpha, std::size_t index) {
    const auto& s = State();
    if (!s.maskEnabled) return alpha;
    const int64_t M = s.maskPlane[index];
    const int64_t k = M == 65535 ? 65535 : (M * 65535) >> 16;
    return int64_t(alpha * double(k) / 65535);
  }
};

TEST_F(BlendBuffer, CopyMatchesTheReferenceLoad) {
  std::mt19937 rng(1);
  auto& s = State();
  for (int round = 0; round < 300; ++round) {
    PMR_SetSize(1 + int32_t(rng() % kMax));
    const int32_t size = brush::Tool().brushSize;
    FillRandom(s.layers[2].pixels, kWidth * kHeight * 4, rng);
    FillRandom(s.blendBuffer, kMax * kMax * 4, rng);
    if (rng() % 2) FillRandom(s.maskPlane, kWidth * kHeight, rng);
    s.maskEnabled = rng() % 2;
    PMR_SetColor(int32_t(rng() % 256), int32_t(rng() % 256), int32_t(rng() % 256));
    const int64_t u = rng() % 257;
    const bool opaque = rng() % 2;
    const int32_t x = int32_t(rng() % (kWidth + 10)) - 5, y = int32_t(rng() % (kHeight + 10)) - 5;
    std::vector<uint16_t> expected = Blend();
    const int32_t left = x - size / 2, top = y - size / 2;
    const uint16_t* brush = s.brushColor;
    const bool crosses = left < 0 || top < 0 || left + size > kWidth || top + size > kHeight;
    for (int32_t row = 0; row < size; ++row) {
      for (int32_t col = 0; col < size; ++col) {
        uint16_t* q = &expected[(std::size_t(row) * kMax + col) * 4];
        const int32_t cx = left + col, cy = top + row;
        const bool inside = cx >= 0 && cy >= 0 && cx < kWidth && cy < kHeight;
        if (!inside) {
          if (!crosses) continue;
          if (opaque) {
            q[3] = 65535;
          } else {
            q[0] = brush[0], q[1] = brush[1], q[2] = brush[2], q[3] = uint16_t(u * 256);
          }
          continue;
        }
        const std::size_t ci = std::size_t(cy) * kWidth + cx;
        const uint16_t* p = &s.layers[2].pixels[ci * 4];
        const int64_t pa = ReadAlpha(p[3], ci);
        if (pa == 0) {
          q[0] = brush[0], q[1] = brush[1], q[2] = brush[2];
          q[3] = uint16_t(opaque ? (256 - u) * 256 : u * 256);
        } else {
          for (int c = 0; c < 3; ++c)
            q[c] = uint16_t(std::min<int64_t>(65280, ((p[c] * (256 - u) + brush[c] * u) >> 8) + 1));
          q[3] = uint16_t((pa * (256 - u) + 65535 * u) >> 8);
        }
      }
    }
    PMR_CopyBlendBufferSurface(x, y, int32_t(u), opaque);
    ASSERT_EQ(Blend(), expected) << round;
  }
}

TEST_F(BlendBuffer, MixMatchesTheReferenceRuleForEveryMixMode) {
  std::mt19937 rng(2);
  auto& s = State();
  for (int round = 0; round < 800; ++round) {
    PMR_SetSize(1 + int32_t(rng() % kMax));
    const int32_t size = brush::Tool().brushSize;
    FillRandom(s.layers[2].pixels, kWidth * kHeight * 4, rng);
    FillRandom(s.blendBuffer, kMax * kMax * 4, rng);
    if (rng() % 2) FillRandom(s.maskPlane, kWidth * kHeight, rng);
    s.maskEnabled = rng() % 2;
    brush_ref::RuleSettings rule;
    rule.mode = kMixRules[rng() % std::size(kMixRules)];
    PMR_SetMixMode(rule.mode, int32_t(rng() % 257));
    rule.shift = brush::Tool().mixShift;
    PMR_SetColorBanks(rng() % 256, rng() % 256, rng() % 256, rng() % 256, rng() % 256, rng() % 256,
                      rng() % 256, rng() % 256, rng() % 256, rng() % 256, rng() % 256, rng() % 256);
    for (int k = 0; k < 4; ++k) {
      for (int c = 0; c < 3; ++c) rule.bank[k][c] = s.colorBanks[c][k];
    }
    const int32_t amount = rng() % 5 == 0 ? 0 : int32_t(rng() % 300);
    const int64_t k = std::min<int64_t>(int64_t{amount} * 256, 65535);
    const int32_t x = int32_t(rng() % (kWidth + 10)) - 5, y = int32_t(rng() % (kHeight + 10)) - 5;
    std::vector<uint16_t> expected = Blend();
    const int32_t left = x - size / 2, top = y - size / 2;
    int draws = 0;
    for (int32_t row = 0; row < size; ++row) {
      for (int32_t col = 0; col < size; ++col) {
        const int32_t cx = left + col, cy = top + row;
        if (cx < 0 || cy < 0 || cx >= kWidth || cy >= kHeight) continue;
        uint16_t* qp = &expected[(std::size_t(row) * kMax + col) * 4];
        const std::size_t ci = std::size_t(cy) * kWidth + cx;
        const uint16_t* pp = &s.layers[2].pixels[ci * 4];
        const int64_t p[4] = {pp[0], pp[1], pp[2], ReadAlpha(pp[3], ci)};
        const int64_t q[4] = {qp[0], qp[1], qp[2], qp[3]};
        if (p[3] == 0) {
          qp[3] = uint16_t(((65536 - k) * q[3]) >> 16);
          continue;
        }
        if (k == 0) continue;
        if (q[3] == 0) {
          for (int c = 0; c < 3; ++c) qp[c] = uint16_t(std::min<int64_t>(p[c], 65280));
          qp[3] = uint16_t(p[3]);
          continue;
        }
        int64_t xc[3], xa;
        brush_ref::BlendMixRule(rule, q, p, xc, xa, draws);
        qp[3] = uint16_t((((xa * (65536 - k)) >> 8) + ((p[3] * k) >> 8)) >> 8);
        for (int c = 0; c < 3; ++c) {
          qp[c] = uint16_t(std::min<int64_t>(
              65280, ((((xc[c] * (65536 - k)) >> 8) + ((p[c] * k) >> 8)) >> 8) + 1));
        }
      }
    }
    brush_ref::Lcg lcg{engine::Generator().state()};
    for (int i = 0; i < draws; ++i) lcg.Next();
    PMR_MixBlendBufferSurface(x, y, amount);
    ASSERT_EQ(Blend(), expected) << "round " << round << " rule " << rule.mode;
    ASSERT_EQ(engine::Generator().state(), lcg.x) << "rules 253 and 254 draw once per evaluation";
  }
}

TEST_F(BlendBuffer, HandWorkedCases) {
  auto& s = State();
  PMR_SetColor(10, 20, 30);
  PMR_SetSize(10);
  std::fill_n(s.blendBuffer, kMax * kMax * 4, 7);
  // A copy at the corner fills the square with the brush colour first, then loads the visible
  // quarter (canvas 0..4) into blend pixels 5..9.
  for (int i = 0; i < kWidth * kHeight; ++i) s.layers[2].pixels[i * 4 + 3] = 0;
  PMR_CopyBlendBufferSurface(0, 0, 100, 0);
  EXPECT_EQ(s.blendBuffer[0], 10 * 256);
  EXPECT_EQ(s.blendBuffer[3], 100 * 256);
  EXPECT_EQ(s.blendBuffer[(9 * kMax + 9) * 4 + 2], 30 * 256);
  EXPECT_EQ(s.blendBuffer[(10 * kMax + 10) * 4], 7);  // outside the used square
  // Amount 0 loads the canvas colour plus 1 and its alpha; a mix of 256 with rule 32 takes the
  // canvas over (plus 1).
  uint16_t* p = s.layers[2].pixels + (3 * kWidth + 4) * 4;
  p[0] = 1000, p[1] = 65535, p[2] = 0, p[3] = 500;
  PMR_CopyBlendBufferSurface(5, 5, 0, 0);
  const uint16_t* q = s.blendBuffer + ((3 + 5 - 5) * kMax + 4) * 4;
  EXPECT_EQ(q[0], 1001);
  EXPECT_EQ(q[1], 65280);
  EXPECT_EQ(q[2], 1);
  EXPECT_EQ(q[3], 500);
  p[0] = 2000;
  PMR_MixBlendBufferSurface(5, 5, 256);
  EXPECT_EQ(q[0], ((((1001u * 1) >> 8) + ((2000u * 65535) >> 8)) >> 8) + 1);
  EXPECT_EQ(q[3], (((500u * 1) >> 8) + ((500u * 65535) >> 8)) >> 8);
  // Filters: invert twice restores; grey averages; thresholds.
  const auto before = Blend();
  PMR_FilterBlendBuffer(290, 0);
  PMR_FilterBlendBuffer(290, 0);
  EXPECT_EQ(Blend(), before);
  PMR_FilterBlendBuffer(289, 0);
  EXPECT_EQ(q[0], q[1]);
  PMR_FilterBlendBuffer(292, 0);  // everything above 0 becomes 65280
  EXPECT_EQ(q[0], 65280);
  PMR_FilterBlendBuffer(291, 100);  // everything below 65535 becomes 0
  EXPECT_EQ(q[0], 0);
  // Tint: covered clear pixels take the colour outright; alpha never changes.
  PMR_DoColorBlendBuffer(5, 5, 255, 0, 128, 0, 256);
  EXPECT_EQ(q[0], 65280);
  EXPECT_EQ(q[3], 499);
  // Clear and fill cover the first maxBrushSize^2 values.
  PMR_FillBlendBuffer(0, 0, 0x12, 0x34);
  EXPECT_EQ(s.blendBuffer[kMax * kMax - 1], 0x1234);
  EXPECT_EQ(s.blendBuffer[kMax * kMax], 65280);  // row 4 of the used square was filtered white
  PMR_ClearBlendBuffer();
  EXPECT_EQ(s.blendBuffer[0], 0);
}

TEST_F(BlendBuffer, NothingHappensWithTheBlendBufferOff) {
  auto& s = State();
  std::mt19937 rng(5);
  FillRandom(s.blendBuffer, kMax * kMax * 4, rng);
  const auto before = Blend();
  PMR_SetBlendStrength(0);
  PMR_CopyBlendBufferSurface(5, 5, 10, 0);
  PMR_CopyBlendBufferLayer(1, 5, 5, 10);
  PMR_CopyBlendBufferHistory(5, 5, 10);
  PMR_CopyBlendBufferTrace(5, 5, 10);
  PMR_DoCopyBlendBufferMask(5, 5, 10);
  PMR_MixBlendBufferSurface(5, 5, 10);
  PMR_DoColorBlendBuffer(5, 5, 1, 2, 3, 0, 100);
  PMR_ClearBlendBuffer();
  PMR_FillBlendBuffer(0, 0, 1, 1);
  PMR_FilterBlendBuffer(290, 0);
  EXPECT_EQ(Blend(), before);
}

TEST_F(BlendBuffer, SourcesAndTheMaskLayout) {
  auto& s = State();
  PMR_SetSize(4);
  // Layer 1 is white; the history image is the current layer at the last save point (clear).
  PMR_CopyBlendBufferLayer(1, 10, 10, 0);
  EXPECT_EQ(s.blendBuffer[0], 65280);
  PMR_CopyBlendBufferUnderLayer(10, 10, 0);
  EXPECT_EQ(s.blendBuffer[3], 0);
  PMR_CopyBlendBufferLayer(64, 10, 10, 0);  // refused
  PMR_CopyBlendBufferLayer(7, 10, 10, 0);   // empty slot: refused
  EXPECT_EQ(s.blendBuffer[3], 0);
  // The mask copy writes one value per pixel with the RGBA64 row length.
  std::fill_n(s.maskPlane, kWidth * kHeight, 1000);
  PMR_SetColor(0, 0, 0);
  PMR_DoCopyBlendBufferMask(10, 10, 128);
  EXPECT_EQ(s.blendBuffer[1 * kMax * 4 + 3], ((1000u * 128 + 128u * 65535) >> 8) + 1);
}

}  // namespace
