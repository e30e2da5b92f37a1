#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;

using CanvasLifecycle = EngineTest;

TEST_F(CanvasLifecycle, ClampsSidesOutsideTheRangeTo100) {
  PMR_CreateImage(nullptr, 20000, 300, 64, 0);
  EXPECT_EQ(State().canvasWidth, 100);
  EXPECT_EQ(State().canvasHeight, 300);
  EXPECT_EQ(State().canvasStride, 400);
  PMR_DeleteImage();
  PMR_CreateImage(nullptr, 10000, -4, 8, 0);
  EXPECT_EQ(State().canvasWidth, 10000);
  EXPECT_EQ(State().canvasHeight, 100);
  PMR_DeleteImage();
  PMR_CreateImage(nullptr, 0, 7, 8, 0);
  EXPECT_EQ(State().canvasWidth, 0);
  EXPECT_EQ(State().canvasHeight, 7);
}

TEST_F(CanvasLifecycle, StartsFullySelectedWithClearBlendBufferAndResetView) {
  State().viewScaleLevel = 4;
  State().viewOffsetX = 9;
  PMR_CreateImage(nullptr, 33, 17, 24, 77);
  const auto& s = State();
  EXPECT_TRUE(
      std::all_of(s.maskPlane, s.maskPlane + 33 * 17, [](uint16_t m) { return m == 65535; }));
  EXPECT_TRUE(
      std::all_of(s.blendBuffer, s.blendBuffer + 24 * 24, [](uint16_t v) { return v == 0; }));
  EXPECT_EQ(s.brushStride, 96);
  EXPECT_EQ(s.reservedParam, 77);
  EXPECT_EQ(s.viewScaleLevel, 1);
  EXPECT_EQ(s.viewScale, 1.0f);
  EXPECT_EQ(s.viewOffsetX, 0);
  EXPECT_EQ(s.maskEnabled, 1);
  EXPECT_EQ(s.traceLayer, &s.layers[0]);
  EXPECT_EQ(s.currentLayer, nullptr);
  for (auto* grit : s.gritBuffers) EXPECT_NE(grit, nullptr);
  EXPECT_EQ(s.undo.undoUsedKB, 33 * 17 * 10 / 1024);
}

TEST_F(CanvasLifecycle, RandomPoolsFollowTheClassicGenerator) {
  // The first outputs of x <- x * 214013 + 2531011 seeded with 1 are 41, 18467, 6334, 26500.
  PMR_SetRandomSeed(1);
  PMR_CreateImage(nullptr, 8, 8, 8, 0);
  const auto& a = State().randomPoolA;
  const auto& b = State().randomPoolB;
  ASSERT_EQ(a.length, 1000000u);
  EXPECT_EQ(a.modulus, 255);
  EXPECT_EQ(b.modulus, 254);
  const uint8_t expectA[] = {41, 107, 214, 235};
  const uint8_t expectB[] = {41, 179, 238, 84};
  EXPECT_EQ(0, std::memcmp(a.data, expectA, 4));
  EXPECT_EQ(0, std::memcmp(b.data, expectB, 4));
  EXPECT_LE(*std::max_element(a.data, a.data + a.length), 254);
  EXPECT_LE(*std::max_element(b.data, b.data + b.length), 253);
}

TEST_F(CanvasLifecycle, RandomPoolsAreRebuiltOnlyWhenTheSeedChanges) {
  PMR_SetRandomSeed(5);
  PMR_CreateImage(nullptr, 8, 8, 8, 0);
  uint8_t* data = State().randomPoolA.data;
  const uint8_t marked = data[0] ^ 0xFF;  // a rebuild would overwrite this mark
  data[0] = marked;
  PMR_DeleteImage();
  PMR_CreateImage(nullptr, 8, 8, 8, 0);
  EXPECT_EQ(State().randomPoolA.data, data);
  EXPECT_EQ(State().randomPoolA.data[0], marked);
  PMR_SetRandomSeed(6);
  PMR_NewSize(nullptr, 8, 8, 8, 0);
  EXPECT_EQ(State().randomPoolA.seed, 6);
  PMR_SetRandomSeed(5);
  PMR_NewSize(nullptr, 8, 8, 8, 0);
  EXPECT_NE(State().randomPoolA.data[0], marked);
}

TEST_F(CanvasLifecycle, LastErrorKeeps511BytesAndAlwaysEndsWithNul) {
  const std::string longText(600, 'x');
  PMR_SetLastError(longText.c_str());
  EXPECT_EQ(std::string(PMR_GetLastError()), std::string(511, 'x'));
  PMR_SetLastError("short");
  EXPECT_STREQ(PMR_GetLastError(), "short");
  EXPECT_EQ(State().lastError[6], 0);
  EXPECT_EQ(State().lastError[510], 0);
  PMR_SetLastError(nullptr);
  EXPECT_STREQ(PMR_GetLastError(), "");
}

TEST_F(CanvasLifecycle, StartDirTakesPathsThatFitWithTheirTerminator) {
  PMR_SetStartDir("/srv/palmora");
  PMR_SetStartDir(std::string(1024, 'a').c_str());
  EXPECT_STREQ(State().startDir, "/srv/palmora");
  const std::string fits(1023, 'b');
  PMR_SetStartDir(fits.c_str());
  EXPECT_EQ(std::string(State().startDir), fits);
  PMR_SetStartDir(nullptr);
  EXPECT_EQ(std::string(State().startDir), fits);
}

TEST_F(CanvasLifecycle, MemoryHelpersIgnoreNullPointers) {
  PMR_Free(nullptr);
  char dst[4] = {1, 2, 3, 4};
  PMR_Memcpy(dst, nullptr, 4);
  PMR_Memcpy(nullptr, dst, 4);
  EXPECT_EQ(dst[0], 1);
  PMR_Memcpy(dst, "abc", 4);
  EXPECT_STREQ(dst, "abc");
  void* block = PMR_Alloc(100);
  ASSERT_NE(block, nullptr);
  PMR_Free(block);
  EXPECT_EQ(PMR_Alloc(-1), nullptr);
  int value = 0;
  EXPECT_EQ(BankAdrs(&value), &value);
}

TEST_F(CanvasLifecycle, NewSizeKeepsLayersAndReleasesThePaintLayer) {
  MakeCanvas(16, 16, 3);
  PMR_SetLayerOptions(3, 1, 0, 50, "Screen");
  PMR_CreatePaintLayer(100, "Normal");
  const int32_t count = PMR_GetLayerCount();
  const uint16_t* pixels = State().layers[3].pixels;
  PMR_NewSize(nullptr, 40, 24, 16, 0);
  EXPECT_EQ(State().canvasWidth, 40);
  EXPECT_EQ(State().canvasHeight, 24);
  EXPECT_EQ(PMR_GetLayerCount(), count);
  EXPECT_EQ(State().layers[3].pixels, pixels);
  EXPECT_STREQ(State().layers[3].name, "Screen");
  EXPECT_EQ(State().paintLayer.pixels, nullptr);
  EXPECT_EQ(State().currentLayerIndex, 2);
  EXPECT_EQ(State().maxBrushSize, 16);
}

TEST_F(CanvasLifecycle, NewSizeToALargerCanvasNeverReadsPastTheOldLayers) {
  MakeCanvas(8, 8, 2);
  palmora_test::PaintPattern(2, 1);
  PMR_SetUndoLevels(5);
  PMR_NewSize(nullptr, 64, 64, 16, 0);  // the history reset meets an 8 x 8 current layer
  PMR_SaveUndoBackBuffer(2);
  PMR_SaveUndoBuffer(1, 1);
  PMR_Undo();
  PMR_Redo();
  // The old-sized layer takes no part in colour steps; only the mask was recorded.
  EXPECT_EQ(State().undo.entries[1].colour, nullptr);
  EXPECT_NE(State().undo.entries[1].mask, nullptr);
  // Re-creating the layer at the canvas size brings it back into the history.
  ASSERT_EQ(PMR_CreateLayer(2, 64, 64), 1);
  PMR_SaveUndoBuffer(1, 0);
  EXPECT_NE(State().undo.entries[1].colour, nullptr);
}

TEST_F(CanvasLifecycle, DeleteKeepsPoolsLastErrorAndStartDir) {
  PMR_SetStartDir("/data");
  MakeCanvas(8, 8);
  PMR_SetLastError("kept");
  PMR_DeleteImage();
  EXPECT_NE(State().randomPoolA.data, nullptr);
  EXPECT_STREQ(PMR_GetLastError(), "kept");
  EXPECT_STREQ(State().startDir, "/data");
  EXPECT_EQ(PMR_GetLayerCount(), 0);
  EXPECT_EQ(State().maskPlane, nullptr);
  EXPECT_EQ(State().undo.historyBack, nullptr);
  EXPECT_EQ(State().blendBuffer, nullptr);
  EXPECT_EQ(State().undo.undoUsedKB, 0);
}

TEST_F(CanvasLifecycle, CreatingASecondCanvasReplacesThePlanesOfTheFirst) {
  MakeCanvas(32, 32);
  PMR_CreatePaintLayer(100, "Normal");
  PMR_SetLayerOptions(3, 1, 0, 100, "Texturize3");
  PMR_CreateLayer(3, 32, 32);
  PMR_CreateTexture(3);
  PMR_CreateImage(nullptr, 64, 48, 16, 0);  // no delete in between: nothing may leak or linger
  EXPECT_EQ(State().textureImage, nullptr);
  EXPECT_EQ(State().paintLayer.pixels, nullptr);
  EXPECT_EQ(PMR_GetLayerCount(), 0);
  EXPECT_STREQ(State().layers[3].name, "Texturize3");
  EXPECT_EQ(State().layers[3].mergeMode, 21);
}

TEST_F(CanvasLifecycle, AllocationFailureLeavesTheCanvasAsItWas) {
  MakeCanvas(64, 64);
  const auto before = palmora_test::ReadLayer(2);
  uint16_t* mask = State().maskPlane;
  engine::SetAllocationCeilingForTesting(4096);
  PMR_SetLastError("");
  PMR_CreateImage(nullptr, 128, 128, 16, 0);
  EXPECT_STREQ(PMR_GetLastError(), "CreateImage Excpt");
  PMR_NewSize(nullptr, 128, 128, 16, 0);
  EXPECT_STREQ(PMR_GetLastError(), "NewSize Excpt");
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_EQ(State().canvasWidth, 64);
  EXPECT_EQ(State().maskPlane, mask);
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
  PMR_SaveUndoBuffer(1, 1);  // the planes still work together
  EXPECT_STREQ(PMR_GetLastError(), "NewSize Excpt");
}

TEST_F(CanvasLifecycle, NegativeOrHugeBrushSizesAreRefused) {
  PMR_CreateImage(nullptr, 16, 16, -5, 0);
  EXPECT_STREQ(PMR_GetLastError(), "CreateImage Excpt");
  EXPECT_EQ(State().maskPlane, nullptr);
  PMR_CreateImage(nullptr, 16, 16, 2000000000, 0);
  EXPECT_EQ(State().maskPlane, nullptr);
  EXPECT_EQ(State().canvasWidth, 0);
}

TEST_F(CanvasLifecycle, DisplayChangeIsReportedOnce) {
  EXPECT_EQ(PMR_IsDisplayChanged(), 0);
  PMR_SignalDisplayChange();
  EXPECT_EQ(PMR_IsDisplayChanged(), 1);
  EXPECT_EQ(PMR_IsDisplayChanged(), 0);
  EXPECT_EQ(PMR_SetWindowRedraw(nullptr, 1), 0);
  EXPECT_EQ(PMR_RedrawWindow(nullptr), 0);
}

}  // namespace
