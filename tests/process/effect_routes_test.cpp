// The dispatcher's routes, each driven by a test body: what the body is handed, what is written
// back on success and failure, and that every write-back spares the pixels the mask protects.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "engine/engine_state.h"
#include "process/effect_dispatcher.h"
#include "support/engine_fixture.h"

namespace {

using process::EffectCall;
using process::EffectDescriptor;
using process::EffectRoute;

constexpr int kW = 9, kH = 7;

// What the last test body was handed.
std::vector<uint8_t> seen;
bool succeed = true;

// Hands back each channel x as 255 - x (alpha too on the 32-bit routes) and remembers the source.
bool Invert32(const EffectCall&, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height) {
  seen.assign(source, source + std::size_t(width) * height * 4);
  for (std::size_t i = 0; i < seen.size(); ++i) destination[i] = uint8_t(255 - source[i]);
  return succeed;
}
bool Copy32(const EffectCall&, const uint8_t* source, uint8_t* destination, int32_t width,
            int32_t height) {
  seen.assign(source, source + std::size_t(width) * height * 4);
  std::memcpy(destination, source, seen.size());
  return succeed;
}
bool Invert24(const EffectCall&, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height) {
  seen.assign(source, source + std::size_t(width) * height * 3);
  for (std::size_t i = 0; i < seen.size(); ++i) destination[i] = uint8_t(255 - source[i]);
  return succeed;
}
bool InvertCopy(const EffectCall&, uint8_t* pixels, int32_t width, int32_t height) {
  seen.assign(pixels, pixels + std::size_t(width) * height * 4);
  for (std::size_t i = 0; i < seen.size(); ++i) pixels[i] = uint8_t(255 - pixels[i]);
  return succeed;
}
void RememberSource(const EffectCall&) {
  const uint8_t* src = engine::State().processingBuffers.src32;
  seen.assign(src, src + std::size_t(kW) * kH * 4);
}

class EffectRoutes : public palmora_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> sample(0, 65535);
    std::vector<uint16_t> pixels(std::size_t(kW) * kH * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint16_t(sample(rng));
    for (std::size_t i = 3; i < pixels.size(); i += 28) pixels[i] = 0;
    for (std::size_t i = 7; i < pixels.size(); i += 28) pixels[i] = 65535;
    palmora_test::WriteLayer(2, pixels);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
    seen.clear();
    succeed = true;
  }
  std::vector<uint8_t> Layer8() {
    std::vector<uint8_t> out(std::size_t(kW) * kH * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), kW * 4, 2), 1);
    return out;
  }
  static void Run(const EffectDescriptor& e) { process::RunEffect(e, EffectCall{}); }
};

TEST_F(EffectRoutes, RefreshedSourceIsPremultipliedAroundTheBodyWhenAsked) {
  // The layer changes after the host filled the source buffer: the route reads it afresh.
  palmora_test::PaintPattern(2, 5);
  const std::vector<uint8_t> layer = Layer8();
  std::vector<uint8_t> premultiplied = layer;
  PMR_AdjustRGBA32PreFilter(premultiplied.data(), kW, kH);
  std::vector<uint8_t> expected = premultiplied;
  PMR_AdjustRGBA32PostFilter(expected.data(), kW, kH);

  Run({.name = "t", .route = EffectRoute::kSource32, .premultiplied = true, .buffer = Copy32});
  EXPECT_EQ(seen, premultiplied);
  EXPECT_EQ(Layer8(), expected);

  palmora_test::PaintPattern(2, 6);
  const std::vector<uint8_t> fresh = Layer8();
  Run({.name = "t", .route = EffectRoute::kSource32, .buffer = Copy32});
  EXPECT_EQ(seen, fresh);
}

TEST_F(EffectRoutes, UnrefreshedSourceReadsTheBufferAsLastFilled) {
  const std::vector<uint8_t> filled = Layer8();
  palmora_test::PaintPattern(2, 9);
  const EffectDescriptor e{
      .name = "t", .route = EffectRoute::kUnrefreshedSource32, .buffer = Copy32};
  Run(e);
  EXPECT_EQ(seen, filled);
  EXPECT_EQ(Layer8(), filled);
  Run(e);  // twice: the same earlier pixels again
  EXPECT_EQ(seen, filled);
}

TEST_F(EffectRoutes, TwentyFourBitRouteKeepsAlphaAndFreesItsBuffers) {
  const std::vector<uint8_t> before = Layer8();
  Run({.name = "t", .route = EffectRoute::kRgb24, .buffer = Invert24});
  ASSERT_EQ(seen.size(), std::size_t(kW) * kH * 3);
  const std::vector<uint8_t> after = Layer8();
  for (int i = 0; i < kW * kH; ++i) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(seen[i * 3 + c], before[i * 4 + c]);
      EXPECT_EQ(after[i * 4 + c], 255 - before[i * 4 + c]) << i;
    }
    EXPECT_EQ(after[i * 4 + 3], before[i * 4 + 3]);
  }
  EXPECT_EQ(engine::State().processingBuffers.src24, nullptr);
  EXPECT_EQ(engine::State().processingBuffers.dst24, nullptr);
}

// A body that reports failure has every route write nothing, to the last bit.
TEST_F(EffectRoutes, AFailingBodyWritesNothingBack) {
  succeed = false;
  const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
  const EffectDescriptor bodies[] = {
      {.name = "a", .route = EffectRoute::kSource32, .premultiplied = true, .buffer = Invert32},
      {.name = "b", .route = EffectRoute::kUnrefreshedSource32, .buffer = Invert32},
      {.name = "c", .route = EffectRoute::kRgb24, .buffer = Invert24},
      {.name = "d", .route = EffectRoute::kLayerCopy, .layerCopy = InvertCopy},
  };
  for (const EffectDescriptor& e : bodies) {
    seen.clear();
    Run(e);
    EXPECT_FALSE(seen.empty()) << e.name;
    EXPECT_EQ(palmora_test::ReadLayer(2), before) << e.name;
  }
}

// One body per route that writes back; with the left columns protected those stay bit-identical
// and the open ones change.
TEST_F(EffectRoutes, EveryWriteBackHonoursTheMask) {
  engine::EngineState& s = engine::State();
  for (int i = 0; i < kW * kH; ++i) s.maskPlane[i] = (i % kW) < 4 ? 0 : 65535;
  s.maskEnabled = 1;
  const EffectDescriptor bodies[] = {
      {.name = "a", .route = EffectRoute::kSource32, .premultiplied = true, .buffer = Invert32},
      {.name = "b", .route = EffectRoute::kUnrefreshedSource32, .buffer = Invert32},
      {.name = "c", .route = EffectRoute::kRgb24, .buffer = Invert24},
      {.name = "d", .route = EffectRoute::kLayerCopy, .layerCopy = InvertCopy},
  };
  for (const EffectDescriptor& e : bodies) {
    const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
    Run(e);
    const std::vector<uint16_t> after = palmora_test::ReadLayer(2);
    int changed = 0;
    for (int i = 0; i < kW * kH; ++i) {
      const bool same = std::memcmp(&before[i * 4], &after[i * 4], 8) == 0;
      if (i % kW < 4) {
        EXPECT_TRUE(same) << e.name << " pixel " << i;
      }
      if (i % kW >= 4 && !same) ++changed;
    }
    EXPECT_GT(changed, 0) << e.name;
  }
}

TEST_F(EffectRoutes, OnSourceRefreshesAndFreeFormDoesNot) {
  const std::vector<uint8_t> filled = Layer8();
  palmora_test::PaintPattern(2, 4);
  const std::vector<uint8_t> fresh = Layer8();
  Run({.name = "t", .route = EffectRoute::kFreeForm, .freeForm = RememberSource});
  EXPECT_EQ(seen, filled);
  Run({.name = "t", .route = EffectRoute::kOnSource, .freeForm = RememberSource});
  EXPECT_EQ(seen, fresh);
}

TEST_F(EffectRoutes, NothingRunsWithoutBothBuffers) {
  PMR_IPLFreeSrcBuffer32();
  Run({.name = "t", .route = EffectRoute::kFreeForm, .freeForm = RememberSource});
  Run({.name = "t", .route = EffectRoute::kLayerCopy, .layerCopy = InvertCopy});
  EXPECT_TRUE(seen.empty());
}

}  // namespace
