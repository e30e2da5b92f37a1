#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "brush/brush_fixture.h"
#include "engine/engine_state.h"

namespace {

using brush_test::BrushTest;
using brush_test::Copy;
using engine::State;

class BrushBadInput : public BrushTest {};

TEST_F(BrushBadInput, NothingHappensBeforeACanvasExists) {
  PMR_SetSize(20);
  PMR_SetAlpha(100);
  PMR_SetTool(1.0f, 3, 100, 100, 0, 5, 1, 100, 10, 1, 0, 0, 0, "", "", 0);
  PMR_SetPixColorVary(5);
  PMR_DrawDabGrit(5, 5, 0, 0, 0);
  PMR_SetMaskMakerOn();
  PMR_DrawDabGrit(5, 5, 0, 0, 0);
  PMR_DrawDabGritMask(5, 5);
  PMR_CopyBlendBufferSurface(5, 5, 10, 1);
  PMR_DoCopyBlendBufferMask(5, 5, 10);
  PMR_MixBlendBufferTrace(5, 5, 10);
  PMR_DoColorBlendBuffer(5, 5, 1, 2, 3, 0, 5);
  PMR_ClearBlendBuffer();
  PMR_FilterBlendBuffer(289, 10);
  PMR_SetBrushShape("", 0);
  EXPECT_STREQ(PMR_GetLastError(), "");
}

// Brushes larger than the canvas, dabs and squares far outside it, in every operation.
TEST_F(BrushBadInput, FarAndOversizedDabsStayInsideEveryPlane) {
  MakeBrushCanvas(9, 7, 64, 64);
  PMR_CreatePaintLayer(100, "Normal");
  SetPlainTool(100, 1);
  PMR_SetPixColorVary(5);
  PMR_SetPixLumVary(5);
  PMR_SetRotateBrushMode(1, 33);
  const int32_t coords[] = {INT_MIN, -1000000, -64, -1, 0, 4, 8, 70, 1000000, INT_MAX};
  for (int32_t x : coords) {
    for (int32_t y : coords) {
      PMR_DrawDabGrit(x, y, 1, 2, 3);
      PMR_DrawDabGritMask(x, y);
      PMR_CopyBlendBufferSurface(x, y, 50, x & 1);
      PMR_DoCopyBlendBufferMask(x, y, 50);
      PMR_MixBlendBufferSurface(x, y, 50);
      PMR_DoColorBlendBuffer(x, y, 1, 2, 3, 0, 50);
    }
  }
  const auto& r = State().paintLayer.changed;
  EXPECT_GE(r.left, 0);
  EXPECT_LE(r.right, 9);
}

// A brush the buffers cannot hold (set before a smaller canvas, or left by a canvas re-created
// with smaller brush buffers) is refused by every dab and blend-buffer operation.
TEST_F(BrushBadInput, BrushesLargerThanTheBuffersAreRefused) {
  PMR_SetSize(120);  // before the canvas: up to 999
  MakeBrushCanvas(32, 32, 60, 60);
  PMR_SetSize(60);
  PMR_SetPixColorVary(9);  // 180 bytes, for brush buffers of 60
  SetPlainTool(200, 1);
  PMR_NewSize(nullptr, 32, 32, 30, 0);  // smaller brush buffers: the brush of 60 no longer fits
  for (int32_t index = 0; index <= 2; ++index) PMR_CreateLayer(index, 32, 32);
  PMR_SetLayer(2);
  const auto layer = Copy(State().layers[2].pixels, 32 * 32 * 4);
  PMR_DrawDabGrit(16, 16, 0, 0, 0);
  PMR_CopyBlendBufferSurface(16, 16, 0, 0);
  PMR_FilterBlendBuffer(290, 0);
  EXPECT_EQ(Copy(State().layers[2].pixels, 32 * 32 * 4), layer);
  // Back to a size that fits; the variation array made for larger buffers still serves.
  PMR_SetSize(30);
  PMR_NewSize(nullptr, 32, 32, 90, 0);  // larger buffers than the array was made for
  for (int32_t index = 0; index <= 2; ++index) PMR_CreateLayer(index, 32, 32);
  PMR_SetLayer(2);
  PMR_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
  PMR_DrawDabGrit(16, 16, 0, 0, 0);
  EXPECT_NE(Copy(State().layers[2].pixels, 32 * 32 * 4), layer);
}

TEST_F(BrushBadInput, LayersOfAnotherSizeAndNullPlanesAreRefused) {
  MakeBrushCanvas(16, 16, 8, 8);
  SetPlainTool(100);
  PMR_DoCopyBlendBuffer(4, 4, nullptr, 0, 0);
  PMR_DoMixBlendBuffer(4, 4, nullptr, 0);
  // After a canvas resize the current layer keeps its old size until the host re-creates it.
  PMR_NewSize(nullptr, 24, 24, 8, 0);
  PMR_SetSize(8);
  const auto layer = Copy(State().layers[2].pixels, 16 * 16 * 4);
  PMR_DrawDabGrit(20, 20, 0, 0, 0);
  PMR_CopyBlendBufferSurface(20, 20, 0, 0);
  EXPECT_EQ(Copy(State().layers[2].pixels, 16 * 16 * 4), layer);
}

}  // namespace
