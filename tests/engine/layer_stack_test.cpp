#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;
using palmora_test::ReadLayer;

using LayerStack = EngineTest;

bool AllSamplesAre(const engine::LayerRecord& layer, uint16_t value) {
  const std::size_t count = std::size_t(layer.width) * layer.height * 4;
  return std::all_of(layer.pixels, layer.pixels + count,
                     [value](uint16_t v) { return v == value; });
}

TEST_F(LayerStack, BackgroundStartsWhiteAndOtherSlotsClear) {
  PMR_CreateImage(nullptr, 12, 9, 8, 0);
  ASSERT_EQ(PMR_CreateLayer(1, 12, 9), 1);
  ASSERT_EQ(PMR_CreateLayer(4, 12, 9), 1);
  EXPECT_TRUE(AllSamplesAre(State().layers[1], 65535));
  EXPECT_TRUE(AllSamplesAre(State().layers[4], 0));
  EXPECT_EQ(State().layers[4].stride, 48);
}

TEST_F(LayerStack, RecreatingEmptiesInPlaceAndANewSizeReallocatesKeepingOptions) {
  MakeCanvas(10, 10, 3);
  PMR_SetLayerOptions(3, 1, 1, 50, "Overlay");
  palmora_test::PaintPattern(3, 9);
  uint16_t* pixels = State().layers[3].pixels;
  ASSERT_EQ(PMR_CreateLayer(3, 10, 10), 1);
  EXPECT_EQ(State().layers[3].pixels, pixels);
  EXPECT_TRUE(AllSamplesAre(State().layers[3], 0));
  ASSERT_EQ(PMR_CreateLayer(3, 20, 5), 1);
  const auto& layer = State().layers[3];
  EXPECT_EQ(layer.width, 20);
  EXPECT_EQ(layer.height, 5);
  EXPECT_STREQ(layer.name, "Overlay");
  EXPECT_EQ(layer.mergeMode, 8);
  EXPECT_EQ(layer.alphaLock, 1);
  EXPECT_EQ(layer.opacity, 128);
}

TEST_F(LayerStack, OptionsSetOpacityNameAndModeByExactName) {
  MakeCanvas(4, 4, 2);
  EXPECT_EQ(PMR_SetLayerOptions(2, 1, 0, 100, "Multiply"), 1);
  EXPECT_EQ(State().layers[2].opacity, 256);
  EXPECT_EQ(PMR_SetLayerOptions(2, 1, 0, 33, "Luminance Alpha Invert"), 44);
  EXPECT_EQ(State().layers[2].opacity, 84);
  EXPECT_EQ(PMR_SetLayerOptions(2, 1, 0, 50, "multiply"), 0);  // case matters
  EXPECT_STREQ(State().layers[2].name, "multiply");
  const std::string sixty(60, 'M');
  EXPECT_EQ(PMR_SetLayerOptions(2, 0x101, 0x100, 50, sixty.c_str()), 0);
  EXPECT_STREQ(State().layers[2].name, "");
  EXPECT_EQ(State().layers[2].visible, 1);    // low byte of 0x101
  EXPECT_EQ(State().layers[2].alphaLock, 0);  // low byte of 0x100
  EXPECT_EQ(PMR_SetLayerOptions(2, 1, 0, 100, ""), 0);
  EXPECT_EQ(PMR_SetLayerOptions(2, 1, 0, 100, "Layer Mask"), 42);
  // Opacity stays within 0..256 whatever percentage the host sends.
  PMR_SetLayerOptions(2, 1, 0, 250, "Normal");
  EXPECT_EQ(State().layers[2].opacity, 256);
  PMR_SetLayerOptions(2, 1, 0, -20, "Normal");
  EXPECT_EQ(State().layers[2].opacity, 0);
}

TEST_F(LayerStack, TopLayerIndexFollowsOptionsNotCreation) {
  PMR_CreateImage(nullptr, 4, 4, 8, 0);
  PMR_CreateLayer(1, 4, 4);
  PMR_CreateLayer(2, 4, 4);
  PMR_CreateLayer(5, 4, 4);
  PMR_SetLayerOptions(2, 1, 0, 100, "Normal");
  PMR_SetLayerOptions(5, 1, 0, 100, "Normal");
  EXPECT_EQ(State().topLayerIndex, 5);
  PMR_DeleteLayer(5);
  EXPECT_EQ(State().topLayerIndex, 5);
  PMR_SetLayerOptions(2, 1, 0, 100, "Normal");
  EXPECT_EQ(State().topLayerIndex, 2);
  PMR_DeleteLayer(2);
  PMR_DeleteLayer(1);
  PMR_SetLayerOptions(3, 1, 0, 100, "Normal");
  EXPECT_EQ(State().topLayerIndex, 1);
}

TEST_F(LayerStack, CountIncludesTheTracingImageAndSelectingAnEmptySlotChangesNothing) {
  MakeCanvas(4, 4, 2, 2);
  EXPECT_EQ(PMR_GetLayerCount(), 3);
  PMR_SetLayer(7);
  EXPECT_EQ(PMR_GetLayerNum(), 2);
  EXPECT_EQ(State().currentLayer, &State().layers[2]);
  PMR_SetLayer(0);
  EXPECT_EQ(PMR_GetLayerNum(), 0);
}

TEST_F(LayerStack, SelectingALayerRefreshesTheBackBuffer) {
  MakeCanvas(6, 5, 3, 2);
  palmora_test::PaintPattern(3, 4);
  PMR_SetLayer(3);
  const auto layer = ReadLayer(3);
  EXPECT_TRUE(std::equal(layer.begin(), layer.end(), State().undo.historyBack));
}

TEST_F(LayerStack, SwapExchangesWholeRecordsAndTheCurrentSlotStays) {
  MakeCanvas(4, 4, 3, 2);
  PMR_SetLayerOptions(3, 0, 1, 50, "Screen");
  uint16_t* two = State().layers[2].pixels;
  uint16_t* three = State().layers[3].pixels;
  PMR_SwapLayers(2, 3);
  EXPECT_EQ(State().layers[2].pixels, three);
  EXPECT_EQ(State().layers[3].pixels, two);
  EXPECT_STREQ(State().layers[2].name, "Screen");
  EXPECT_EQ(State().layers[2].opacity, 128);
  EXPECT_EQ(State().currentLayer, &State().layers[2]);
}

TEST_F(LayerStack, IndicesOutsideTheTableAreRefusedEverywhere) {
  MakeCanvas(4, 4, 2, 2);
  const engine::LayerRecord before = State().layers[2];
  for (int32_t bad : {-1, 64, -2147483647 - 1, 2147483647}) {
    EXPECT_EQ(PMR_CreateLayer(bad, 4, 4), 0);
    EXPECT_EQ(PMR_SetLayerOptions(bad, 1, 0, 100, "Multiply"), 0);
    PMR_DeleteLayer(bad);
    PMR_SetLayer(bad);
    PMR_SwapLayers(bad, 2);
    PMR_SwapLayers(2, bad);
    PMR_InvertAlpha(bad);
    PMR_SetLayerAlpha(bad, 7);
    PMR_NormalizeLayerAlpha(bad);
    PMR_CreateBlobFromImage(bad, 1);
    EXPECT_EQ(PMR_CreateTexture(bad), 0);
    PMR_SaveUndoBackBuffer(bad);
  }
  EXPECT_EQ(PMR_SetLayerOptions(2, 1, 0, 100, nullptr), 0);
  EXPECT_EQ(PMR_CreateLayer(3, 0, 4), 0);
  EXPECT_EQ(PMR_CreateLayer(3, 4, -1), 0);
  EXPECT_EQ(PMR_GetLayerNum(), 2);
  EXPECT_EQ(State().layers[2].pixels, before.pixels);
  EXPECT_STREQ(State().layers[2].name, before.name);
  EXPECT_EQ(PMR_GetLayerCount(), 3);
}

TEST_F(LayerStack, LayerThatCannotBeAllocatedLeavesTheSlotEmptyWithItsMessage) {
  MakeCanvas(64, 64, 2, 2);
  PMR_SetUndoLevels(10);
  PMR_SetUndoMB(100);
  PMR_SaveUndoBuffer(1, 1);
  PMR_SaveUndoBuffer(1, 1);
  ASSERT_EQ(PMR_GetUndoCount(), 2);
  // A size no machine holds is refused at once, without giving up the history for it.
  EXPECT_EQ(PMR_CreateLayer(5, 1 << 20, 1 << 20), 0);
  EXPECT_STREQ(PMR_GetLastError(), "CreateLayer Excpt");
  EXPECT_EQ(State().layers[5].pixels, nullptr);
  EXPECT_EQ(PMR_GetUndoCount(), 2);
  // A size the heap refuses now: the history is released step by step before giving up.
  PMR_SetLastError("");
  engine::SetAllocationCeilingForTesting(1024);
  EXPECT_EQ(PMR_CreateLayer(6, 64, 64), 0);
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_STREQ(PMR_GetLastError(), "CreateLayer Excpt");
  EXPECT_EQ(State().layers[6].pixels, nullptr);
  EXPECT_EQ(PMR_CanUndo(), 0);
}

TEST_F(LayerStack, PaintLayerLifecycle) {
  MakeCanvas(8, 6, 2, 2);
  EXPECT_EQ(PMR_CreatePaintLayer(50, "Screen"), 2);
  const auto& paint = State().paintLayer;
  ASSERT_NE(paint.pixels, nullptr);
  EXPECT_EQ(paint.width, 8);
  EXPECT_EQ(paint.opacity, 128);
  EXPECT_EQ(paint.visible, 1);
  EXPECT_STREQ(paint.name, "Screen");
  EXPECT_TRUE(AllSamplesAre(paint, 0));
  EXPECT_EQ(paint.changed.left, 8);
  EXPECT_EQ(paint.changed.top, 6);
  EXPECT_EQ(paint.changed.right, 0);

  // The old clear fills with white and clears only the changed rectangle (half-open).
  State().paintLayer.changed = {1, 2, 3, 4};
  PMR_ClearPaintLayer_old();
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 1 && x < 3 && y >= 2 && y < 4;
      EXPECT_EQ(paint.pixels[(y * 8 + x) * 4 + 1], inside ? 0 : 65535) << x << "," << y;
    }
  }
  EXPECT_EQ(paint.changed.left, 8);
  // A changed rectangle reaching past the layer is clipped, not followed out of the buffer.
  State().paintLayer.changed = {-5, -5, 100, 100};
  PMR_ClearPaintLayer_old();
  EXPECT_TRUE(AllSamplesAre(paint, 0));
  PMR_DeletePaintLayer();
  EXPECT_EQ(paint.pixels, nullptr);
  PMR_ClearPaintLayer();
  PMR_ClearPaintLayer_old();
}

TEST_F(LayerStack, BlurredPaintAlphaKeepsNearlyOpaqueSamplesOpaque) {
  MakeCanvas(16, 16, 2, 2);
  PMR_CreatePaintLayer(100, "Normal");
  uint16_t* p = State().paintLayer.pixels;
  for (int i = 0; i < 16 * 16; ++i) p[i * 4 + 3] = (i % 16 < 8) ? (240 << 8) | 7 : (100 << 8) | 99;
  PMR_BlurPaintLayerAlpha();
  for (int y = 0; y < 16; ++y) {
    // High byte 240 and up becomes fully opaque; a flat region far from the edge keeps its value
    // with the low byte dropped; the border column between them is softened.
    EXPECT_EQ(p[(y * 16 + 0) * 4 + 3], 65535);
    EXPECT_EQ(p[(y * 16 + 7) * 4 + 3], 65535);
    EXPECT_EQ(p[(y * 16 + 15) * 4 + 3], 100 << 8);
    EXPECT_GT(p[(y * 16 + 8) * 4 + 3], 100 << 8);
    EXPECT_LT(p[(y * 16 + 8) * 4 + 3], 240 << 8);
  }
}

TEST_F(LayerStack, TextureIsTheChannelMeanLimitedTo4To250) {
  MakeCanvas(3, 1, 3, 2);
  std::vector<uint16_t> pixels = {65535, 65535, 65535, 0, 0, 0, 0, 0, 30000, 30000, 30000, 0};
  palmora_test::WriteLayer(3, pixels);
  EXPECT_EQ(PMR_CreateTexture(3), 3);
  const uint8_t* t = State().textureImage;
  EXPECT_EQ(t[0], 250);
  EXPECT_EQ(t[1], 4);
  EXPECT_EQ(t[2], 90000 / 768);
  PMR_DeleteTexture();
  EXPECT_EQ(State().textureImage, nullptr);
}

TEST_F(LayerStack, AVisibleTexturize3LayerBecomesTheTextureWhenNotBeingEdited) {
  MakeCanvas(4, 4, 3, 2);
  // Not current and visible: the texture is built at once; the result is the canvas width.
  EXPECT_EQ(PMR_SetLayerOptions(3, 1, 0, 100, "Texturize3"), 4);
  ASSERT_NE(State().textureImage, nullptr);
  // Editing it releases the texture; leaving it builds it again.
  PMR_SetLayer(3);
  EXPECT_EQ(State().textureImage, nullptr);
  PMR_SetLayer(2);
  EXPECT_NE(State().textureImage, nullptr);
  // Any change of its options releases the texture first.
  EXPECT_EQ(PMR_SetLayerOptions(3, 0, 0, 100, "Texturize3"), 21);
  EXPECT_EQ(State().textureImage, nullptr);
}

}  // namespace
