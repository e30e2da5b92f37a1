// Colour pickers and content queries. Packed colours are built here from the high bytes by hand:
// the RGBA pickers pack R G B A from the top byte down, the colour pickers A R G B.
#include <gtest/gtest.h>

#include <vector>

#include "engine/engine_state.h"
#include "support/engine_fixture.h"
#include "support/transfer_support.h"

namespace {

using engine::State;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

using ColourPickers = palmora_test::EngineTest;

constexpr int W = 6, H = 4;

void SetPixel(int index, int x, int y, uint16_t r, uint16_t g, uint16_t b, uint16_t a) {
  auto pixels = ReadLayer(index);
  uint16_t* p = &pixels[(y * W + x) * 4];
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = a;
  WriteLayer(index, pixels);
}

TEST_F(ColourPickers, ChannelsAndMaskOfTheCurrentLayer) {
  MakeCanvas(W, H);
  SetPixel(2, 5, 3, 0x1111, 0x2222, 0x3333, 0x4444);
  EXPECT_EQ(PMR_GetRed64(5, 3), 0x1111);
  EXPECT_EQ(PMR_GetGreen64(5, 3), 0x2222);
  EXPECT_EQ(PMR_GetBlue64(5, 3), 0x3333);
  EXPECT_EQ(PMR_GetAlpha64(5, 3), 0x4444);
  EXPECT_EQ(PMR_GetRed64(6, 3), 0);
  EXPECT_EQ(PMR_GetAlpha64(5, -1), 0);
  State().maskPlane[3 * W + 5] = 1000;
  EXPECT_EQ(PMR_GetMask64(5, 3), 64535);
  EXPECT_EQ(PMR_GetMask64(5, 4), 0);
  State().maskEnabled = 0;
  EXPECT_EQ(PMR_GetMask64(5, 3), 0);
  State().maskEnabled = 1;
  State().currentLayer = nullptr;
  EXPECT_EQ(PMR_GetRed64(5, 3), 0);
  EXPECT_EQ(PMR_GetMask64(5, 3), 0);
}

TEST_F(ColourPickers, RGBAClampsWhileColourAnswersWhiteOutside) {
  MakeCanvas(W, H);
  SetPixel(2, 0, 0, 0x12FF, 0x34FF, 0x56FF, 0x78FF);
  SetPixel(2, W - 1, H - 1, 0x9A00, 0xBC00, 0xDE00, 0xF000);
  EXPECT_EQ(PMR_GetRGBAAtSurface(0, 0), 0x12345678u);
  EXPECT_EQ(PMR_GetRGBAAtSurface(-1, 0), 0x12345678u);
  EXPECT_EQ(PMR_GetRGBAAtLayer(100, 100, 2), 0x9ABCDEF0u);
  EXPECT_EQ(PMR_GetColorAtSurface(0, 0), 0x78123456u);
  EXPECT_EQ(PMR_GetColorAtLayer(W - 1, H - 1, 2), 0xF09ABCDEu);
  EXPECT_EQ(PMR_GetColorAtSurface(-1, 0), 0xFFFFFFu);
  EXPECT_EQ(PMR_GetColorAtSurface(0, H), 0xFFFFFFu);
  EXPECT_EQ(PMR_GetColorAt(0, 0, nullptr), 0u);
  EXPECT_EQ(PMR_GetRGBAAt(0, 0, nullptr), 0u);
  EXPECT_EQ(PMR_GetColorAtLayer(0, 0, 64), 0u);
  EXPECT_EQ(PMR_GetRGBAAtLayer(0, 0, -1), 0u);
  // A plane passed by the host.
  const auto plane = ReadLayer(2);
  EXPECT_EQ(PMR_GetRGBAAt(W + 3, -7, plane.data()), PMR_GetRGBAAtSurface(W - 1, 0));
}

TEST_F(ColourPickers, TraceUnderLayerAndHistoryPlanes) {
  MakeCanvas(W, H);
  EXPECT_EQ(PMR_GetColorAtTrace(1, 1), 0u);  // layer 0 is clear
  SetPixel(0, 1, 1, 0xAA00, 0xBB00, 0xCC00, 0xDD00);
  EXPECT_EQ(PMR_GetColorAtTrace(1, 1), 0xDDAABBCCu);
  EXPECT_EQ(PMR_GetRGBAAtTrace(1, 1), 0xAABBCCDDu);
  PMR_DeleteLayer(0);
  EXPECT_EQ(PMR_GetColorAtTrace(1, 1), 0u);
  EXPECT_EQ(PMR_GetRGBAAtTrace(1, 1), 0u);

  // The back buffer holds the current layer as it was when it was selected.
  PMR_SetUndoLevels(5);
  SetPixel(2, 2, 2, 0x1100, 0x2200, 0x3300, 0x4400);
  EXPECT_EQ(PMR_GetColorAtUnderLayer(2, 2), 0u);
  EXPECT_EQ(PMR_GetColorAtHistory(2, 2), 0u);  // nothing to undo yet
  PMR_SaveUndoBuffer(1, 0);
  SetPixel(2, 2, 2, 0x5500, 0x6600, 0x7700, 0x8800);
  EXPECT_EQ(PMR_GetColorAtUnderLayer(2, 2), 0x44112233u);
  EXPECT_EQ(PMR_GetRGBAAtUnderLayer(2, 2), 0x11223344u);
  EXPECT_EQ(PMR_GetColorAtHistory(2, 2), 0x44112233u);
}

TEST_F(ColourPickers, DataExtentsBoundTheNonTransparentPixels) {
  MakeCanvas(W, H, 3);
  int32_t l = -9, t = -9, r = -9, b = -9;
  ASSERT_EQ(PMR_FindDataExtentsLayer(2, &l, &t, &r, &b), 1);
  EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({W, H, 0, 0}));
  SetPixel(2, 4, 2, 0, 0, 0, 1);
  ASSERT_EQ(PMR_FindDataExtentsLayer(2, &l, &t, &r, &b), 1);
  EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({4, 2, 4, 2}));
  SetPixel(2, 1, 3, 0, 0, 0, 65535);
  SetPixel(2, 5, 1, 9, 9, 9, 256);
  SetPixel(2, 0, 0, 9, 9, 9, 0);  // colour without alpha does not count
  ASSERT_EQ(PMR_FindDataExtentsLayer(2, &l, &t, &r, &b), 1);
  EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({1, 1, 5, 3}));

  l = t = r = b = -9;
  EXPECT_EQ(PMR_FindDataExtentsLayer(9, &l, &t, &r, &b), 0);
  EXPECT_EQ(PMR_FindDataExtentsLayer(2, nullptr, &t, &r, &b), 0);
  EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({-9, -9, -9, -9}));
}

TEST_F(ColourPickers, SingleColourComparesAllFourChannels) {
  MakeCanvas(W, H, 3);
  EXPECT_EQ(PMR_IsSingleColor(2), 1);
  EXPECT_EQ(PMR_IsSingleColor(1), 1);
  SetPixel(2, W - 1, H - 1, 0, 0, 0, 1);  // the last pixel differs in alpha alone
  EXPECT_EQ(PMR_IsSingleColor(2), 0);
  SetPixel(3, 0, 0, 1, 0, 0, 0);  // the first pixel differs from all the others
  EXPECT_EQ(PMR_IsSingleColor(3), 0);
  EXPECT_EQ(PMR_IsSingleColor(9), 0);
  EXPECT_EQ(PMR_IsSingleColor(-1), 0);
}

}  // namespace
