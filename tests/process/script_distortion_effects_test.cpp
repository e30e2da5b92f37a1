// The runner's distortions as effects: colour and alpha travel apart and arrive together, so a
// quarter turn moves every pixel whole, partly transparent ones included; the edge option and
// the effect colour decide what fills the uncovered corners.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/engine_fixture.h"

namespace {

constexpr int kSide = 14;

class ScriptDistortionEffects : public palmora_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kSide, kSide);
    std::mt19937 rng(12);
    std::vector<uint16_t> px(size_t(kSide) * kSide * 4);
    const uint16_t alphas[] = {0, 0x4000, 0x8000, 0xFF00, 0xFF00};
    for (size_t i = 0; i < px.size(); ++i)
      px[i] = i % 4 == 3 ? alphas[rng() % 5] : uint16_t(rng() & 0xFF00);
    palmora_test::WriteLayer(2, px);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
  }
  static std::vector<uint8_t> Layer32() {
    std::vector<uint8_t> out(size_t(kSide) * kSide * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), kSide * 4, 2), 1);
    return out;
  }
  static void Run(const char* name, int slider1, int option1) {
    PMR_IPLImageProcess(0, name, 0, slider1, 500, 500, 500, 500, 500, option1, 0, 0, 0, 0, 0, 0, 0,
                        10, 20, 30, nullptr);
  }
};

TEST_F(ScriptDistortionEffects, AQuarterTurnMovesColourAndAlphaTogether) {
  // What the route's premultiply and divide make of each pixel where it stands.
  std::vector<uint8_t> model = Layer32();
  PMR_AdjustRGBA32PreFilter(model.data(), kSide, kSide);
  PMR_AdjustRGBA32PostFilter(model.data(), kSide, kSide);
  // 75 % turns a quarter anticlockwise: the pixel east of the middle goes north.
  Run("Rotate", 750, 0);
  const std::vector<uint8_t> turned = Layer32();
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      for (int c = 0; c < 4; ++c)
        ASSERT_EQ(turned[(y * kSide + x) * 4 + c], model[(x * kSide + kSide - 1 - y) * 4 + c])
            << x << "," << y << " channel " << c;
}

TEST_F(ScriptDistortionEffects, UncoveredCornersTakeTheColourOrStayTransparent) {
  // An eighth of a turn leaves the corners uncovered.
  const std::vector<uint16_t> original = palmora_test::ReadLayer(2);
  Run("Rotate", 625, 0);
  std::vector<uint8_t> px = Layer32();
  EXPECT_EQ(std::vector<uint8_t>(px.begin(), px.begin() + 4),
            (std::vector<uint8_t>{10, 20, 30, 255}));
  palmora_test::WriteLayer(2, original);
  Run("Rotate", 625, 4);
  EXPECT_EQ(Layer32()[3], 0);
  // A zoom out with the transparent edge leaves a transparent frame.
  palmora_test::WriteLayer(2, original);
  Run("Zoom", 250, 4);
  EXPECT_EQ(Layer32()[3], 0);
}

}  // namespace
