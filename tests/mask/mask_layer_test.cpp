#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/engine_state.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;
using palmora_test::PaintPattern;
using palmora_test::ReadLayer;

using MaskLayer = EngineTest;

// The image-to-mask mapping written out from its definition.
uint16_t Expected(uint32_t v) { return v <= 255 ? 65535 : v > 65280 ? 0 : uint16_t(65280 - v); }

TEST_F(MaskLayer, MaskFromImageAndLumaFollowTheBrightness) {
  MakeCanvas(64, 32);
  PaintPattern(2, 7);
  auto px = ReadLayer(2);
  // Pin the edges of the mapping on the first pixels.
  const uint16_t edges[][3] = {
      {255, 255, 255}, {256, 256, 256}, {65280, 65280, 65280}, {65281, 65281, 65281}, {0, 0, 0}};
  for (int i = 0; i < 5; ++i) std::copy_n(edges[i], 3, &px[i * 4]);
  palmora_test::WriteLayer(2, px);
  PMR_CreateMaskFromImage();
  const uint16_t* m = State().maskPlane;
  EXPECT_EQ(m[0], 65535);
  EXPECT_EQ(m[1], 65024);
  EXPECT_EQ(m[2], 0);
  EXPECT_EQ(m[3], 0);
  EXPECT_EQ(m[4], 65535);
  for (int i = 0; i < 64 * 32; ++i) {
    const uint16_t* p = &px[i * 4];
    ASSERT_EQ(m[i], Expected((uint32_t(p[0]) + p[1] + p[2]) / 3));
  }
  PMR_CreateMaskFromImageLuma();
  for (int i = 0; i < 64 * 32; ++i) {
    const uint16_t* p = &px[i * 4];
    ASSERT_EQ(m[i], Expected((3u * p[0] + 4u * p[1] + p[2]) / 8));
  }
}

TEST_F(MaskLayer, AlphaAndPictureExchanges) {
  MakeCanvas(16, 8);
  PaintPattern(2, 3);
  const auto before = ReadLayer(2);
  auto& s = State();
  for (int i = 0; i < 128; ++i) s.maskPlane[i] = uint16_t(i * 517);
  s.maskPlane[0] = 0, s.maskPlane[1] = 200, s.maskPlane[2] = 65535;

  PMR_CreateAlphaFromMask();
  auto after = ReadLayer(2);
  for (int i = 0; i < 128; ++i) {
    ASSERT_EQ(after[i * 4 + 3], s.maskPlane[i]);
    ASSERT_TRUE(std::equal(&after[i * 4], &after[i * 4 + 3], &before[i * 4]));
  }
  std::fill_n(s.maskPlane, 128, 1);
  PMR_CreateMaskFromAlpha();
  for (int i = 0; i < 128; ++i) ASSERT_EQ(s.maskPlane[i], after[i * 4 + 3]);

  PMR_CreateImageFromMask();
  after = ReadLayer(2);
  // Protected (0) shows as white, capped at 65280; open (65535) as black; alpha becomes opaque.
  EXPECT_EQ(after[0], 65280);
  EXPECT_EQ(after[4], 65280);  // 65535 - 200 is above the cap
  EXPECT_EQ(after[8], 0);
  for (int i = 3; i < 128; ++i) {
    const uint16_t grey = uint16_t(std::min(65535 - s.maskPlane[i], 65280));
    ASSERT_EQ(after[i * 4], grey);
    ASSERT_EQ(after[i * 4 + 2], grey);
    ASSERT_EQ(after[i * 4 + 3], 65535);
  }
}

TEST_F(MaskLayer, NeedsACanvasSizedCurrentLayer) {
  MakeCanvas(16, 8);
  auto& s = State();
  std::fill_n(s.maskPlane, 128, 99);
  ASSERT_EQ(PMR_CreateLayer(3, 4, 4), 1);  // smaller than the canvas
  PMR_SetLayer(3);
  PMR_CreateMaskFromImage();
  PMR_CreateMaskFromAlpha();
  PMR_CreateImageFromMask();
  EXPECT_TRUE(std::all_of(s.maskPlane, s.maskPlane + 128, [](uint16_t m) { return m == 99; }));
  s.currentLayer = nullptr;
  PMR_CreateMaskFromImageLuma();
  PMR_CreateAlphaFromMask();
  EXPECT_TRUE(std::all_of(s.maskPlane, s.maskPlane + 128, [](uint16_t m) { return m == 99; }));
}

}  // namespace
