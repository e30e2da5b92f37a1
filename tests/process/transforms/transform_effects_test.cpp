// The library transforms as effects through PMR_IPLImageProcess: Offset moves pixels exactly by
// its sliders with the edge option, the effect colour fills what comes from outside, and the
// neutral slider positions change nothing.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/engine_fixture.h"

namespace {

constexpr int kW = 20, kH = 12;

class TransformEffects : public palmora_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    std::mt19937 rng(5);
    std::vector<uint16_t> px(size_t(kW) * kH * 4);
    for (size_t i = 0; i < px.size(); ++i)
      px[i] = i % 4 == 3 ? 0xFF00 : uint16_t((rng() & 0xFF) << 8);
    palmora_test::WriteLayer(2, px);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
  }
  static std::vector<uint8_t> Layer32() {
    std::vector<uint8_t> out(size_t(kW) * kH * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), kW * 4, 2), 1);
    return out;
  }
  static void Run(const char* name, std::vector<int> sliders, int option1 = 0) {
    sliders.resize(6, 500);
    PMR_IPLImageProcess(0, name, 0, sliders[0], sliders[1], sliders[2], sliders[3], sliders[4],
                        sliders[5], option1, 0, 0, 0, 0, 0, 0, 0, 10, 20, 30, nullptr);
  }
};

TEST_F(TransformEffects, OffsetMovesWholePixelsWrappingOrShowingTheColour) {
  const std::vector<uint8_t> before = Layer32();
  // 75 % moves right by half the width, 25 % up by half the height; option 1 = 1 wraps round.
  Run("Offset", {750, 250}, 1);
  const std::vector<uint8_t> wrapped = Layer32();
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      for (int c = 0; c < 4; ++c) {
        const int sx = (x - kW / 2 + kW) % kW, sy = (y + kH / 2) % kH;
        ASSERT_EQ(wrapped[(y * kW + x) * 4 + c], before[(sy * kW + sx) * 4 + c]) << x << "," << y;
      }
  // Back again, then 60 % right without wrapping: the uncovered columns show the opaque colour.
  Run("Offset", {250, 750}, 1);
  ASSERT_EQ(Layer32(), before);
  Run("Offset", {600, 500});
  const std::vector<uint8_t> moved = Layer32();
  const int dx = kW / 5;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint8_t* p = &moved[(y * kW + x) * 4];
      if (x < dx) {
        EXPECT_EQ(std::vector<uint8_t>(p, p + 4), (std::vector<uint8_t>{10, 20, 30, 255}));
      } else {
        for (int c = 0; c < 4; ++c) ASSERT_EQ(p[c], before[(y * kW + x - dx) * 4 + c]);
      }
    }
}

TEST_F(TransformEffects, NeutralSlidersLeaveTheLayerAlone) {
  const std::vector<uint8_t> before = Layer32();
  for (const char* name : {"Spin", "Pinch", "Lens", "Wow", "Spin Wave"}) {
    Run(name, {500, 800, 400, 600, 500});
    EXPECT_EQ(Layer32(), before) << name;
  }
  Run("Offset", {500, 500});
  EXPECT_EQ(Layer32(), before) << "Offset";
  Run("Elliptical", {0});
  EXPECT_EQ(Layer32(), before) << "Elliptical";
  for (const char* name : {"Ripple", "Wave", "Marble"}) {
    Run(name, {300, 0, 250, 500, 500});
    EXPECT_EQ(Layer32(), before) << name;
  }
}

}  // namespace
