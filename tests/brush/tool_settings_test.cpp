#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "brush/brush_fixture.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"

namespace {

using brush_test::BrushTest;
using engine::State;

class ToolSettings : public BrushTest {};

TEST_F(ToolSettings, ColoursWidenByTimes256AndAlwaysCarryFullAlpha) {
  const engine::EngineState& paint = engine::State();
  PMR_SetColor(255, 1, 0);
  EXPECT_EQ(paint.brushColor[0], 65280);
  EXPECT_EQ(paint.brushColor[1], 256);
  EXPECT_EQ(paint.brushColor[2], 0);
  EXPECT_EQ(paint.brushColor[3], 65535);
  PMR_SetColor16(65535, 3, 40000);
  EXPECT_EQ(paint.brushColor[0], 65535);
  EXPECT_EQ(paint.brushColor[2], 40000);
  PMR_SetColorBanks(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 255);
  // Kept channel by channel: the four reds, then the greens, the blues and the alphas.
  EXPECT_EQ(paint.colorBanks[0][0], 256);
  EXPECT_EQ(paint.colorBanks[0][3], 2560);
  EXPECT_EQ(paint.colorBanks[1][1], 5 * 256);
  EXPECT_EQ(paint.colorBanks[2][3], 65280);
  EXPECT_EQ(paint.colorBanks[3][2], 65535);
}

TEST_F(ToolSettings, DerivedValues) {
  const auto& t = brush::Tool();
  PMR_SetBlendStrength(200);
  PMR_SetBlendStrength(0);  // off, but the inverse of the last strength stays
  EXPECT_EQ(t.blendStrength, 0);
  EXPECT_EQ(t.blendStrengthInverse, 56);
  PMR_SetBlendPrimaryColorStrength(100);
  PMR_SetBlendPrimaryColorStrength(-3);
  EXPECT_EQ(t.blendPrimaryColorInverse, 156);
  PMR_SetDensity(256);
  EXPECT_EQ(t.density, 255);
  PMR_SetAlpha(50);
  EXPECT_EQ(t.alphaScaled, 64);
  PMR_SetAlpha(100);
  EXPECT_EQ(t.alphaScaled, 128);
  // mixShift = trunc((amount - 127) / 127 x 16).
  const std::pair<int32_t, int32_t> shifts[] = {{256, 16}, {127, 0}, {200, 9}, {119, -1}, {0, -16}};
  for (auto [amount, shift] : shifts) {
    PMR_SetMixMode(40, amount);
    EXPECT_EQ(t.mixShift, shift) << amount;
    EXPECT_EQ(t.mixAmountInverse, 256 - amount);
  }
  PMR_SetRotateBrushMode(1, 90);
  EXPECT_EQ(t.rotateAngleRadians, float(90 * (1.0 / 180) * 3.14159));
  EXPECT_EQ(t.rotateSine, float(std::sin(double(float(90 * (1.0 / 180) * 3.14159)))));
  EXPECT_NE(t.rotateCosine, 0.0f);  // 3.14159 is a little short of pi
}

TEST_F(ToolSettings, SizeIsLimitedToTheBrushBuffersAndScaleSizeToTheBrush) {
  const auto& t = brush::Tool();
  PMR_SetSize(5000);  // no canvas yet: the dab table's limit
  EXPECT_EQ(t.brushSize, 999);
  MakeBrushCanvas(16, 16, 40, 10);
  PMR_SetSize(41);
  EXPECT_EQ(t.brushSize, 40);
  EXPECT_EQ(t.scaledSize, 40);
  PMR_SetSize(-7);
  EXPECT_EQ(t.brushSize, 1);
  PMR_SetSize(10);
  PMR_SetScaleSize(0);
  EXPECT_EQ(t.scaledSize, 1);
  EXPECT_EQ(t.sizeIndex[0], 5);
  PMR_SetScaleSize(11);
  EXPECT_EQ(t.scaledSize, 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(t.sizeIndex[i], i);
  PMR_SetScaleSize(4);
  EXPECT_EQ(std::vector<int>(t.sizeIndex, t.sizeIndex + 4), (std::vector<int>{1, 3, 6, 8}));
  PMR_SetScaleSize(3);  // step 10/3: 1.67, 5, 8.33 accumulated
  EXPECT_EQ(std::vector<int>(t.sizeIndex, t.sizeIndex + 3), (std::vector<int>{1, 5, 8}));
}

// The variation arrays are 3 x maxBrushSize bytes of (next value mod 1000, low byte) and of
// (next value mod 256) from the generator seeded with the stored seed; refilling is skipped while
// nothing changed, and the fill reseeds the generator.
TEST_F(ToolSettings, VariationArraysComeFromTheSeededGenerator) {
  PMR_SetRandomSeed(77);
  MakeBrushCanvas(16, 16, 20, 10);
  const auto& t = brush::Tool();
  PMR_SetPixColorVary(9);
  brush_ref::Lcg lcg{77};
  ASSERT_EQ(t.pixColorArray.length, 60u);
  for (uint32_t i = 0; i < 60; ++i)
    ASSERT_EQ(t.pixColorArray.data[i], uint8_t(lcg.Next() % 1000)) << i;
  EXPECT_EQ(engine::Generator().state(), lcg.x);
  PMR_SetPixLumVary(3);
  lcg = {77};
  for (uint32_t i = 0; i < 60; ++i)
    ASSERT_EQ(t.pixLumArray.data[i], uint8_t(lcg.Next() % 256)) << i;
  const uint8_t* kept = t.pixColorArray.data;
  PMR_SetPixColorVary(4);
  EXPECT_EQ(t.pixColorArray.data, kept);
  PMR_SetPixColorVary(0);
  EXPECT_EQ(t.pixColorVary, 0);
}

TEST_F(ToolSettings, SetToolStoresTheToolAndClearsTheOneShotFlags) {
  MakeBrushCanvas(16, 16, 20, 10);
  auto& t = brush::Tool();
  PMR_SetMixMode(42, 100);
  PMR_TempDisableBlend();
  PMR_SetMaskMakerOn();
  PMR_SetEraseModeOn();
  PMR_SetTool(0.5f, 0, 1, 2, 0x1FF, 3, 4, 100, 30, 0x101, 9, 1, 8, "", "", 33);
  EXPECT_EQ(t.shapeScale, 0.5f);
  EXPECT_EQ(t.edgeSoftness, 255);
  EXPECT_EQ(t.blendRemix, 1);
  EXPECT_EQ(t.toolOption11, 9);
  EXPECT_EQ(t.toolOption13, 8);
  EXPECT_EQ(t.shapeAngle, 33);
  EXPECT_EQ(t.blendStrengthInverse, 156);
  EXPECT_EQ(t.blendPrimaryColorInverse, 226);
  EXPECT_EQ(t.mixMode, 32);
  EXPECT_EQ(t.mixAmount, 100);  // kept
  EXPECT_EQ(t.blendOffOnce + t.maskMakerOn + t.eraseModeOn, 0);
}

}  // namespace
