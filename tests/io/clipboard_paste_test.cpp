// Pastes from the clipboard against a model: the picture laid over an 8-bit copy of the layer
// and loaded back through the mask and the texture, computed with the whole-canvas copy and the
// public load export; only the picture's rectangle may differ from the layer before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "brush/image_brush_pictures.h"
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/overlay.h"
#include "imaging/picture_test_support.h"
#include "io/clipboard_support.h"

namespace {

using namespace clipboard_test;
using namespace picture_test;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

constexpr int32_t kW = 40, kH = 30;

class ClipboardPaste : public ClipboardTest {
 protected:
  void SetUp() override {
    ClipboardTest::SetUp();
    MakeCanvas(kW, kH);
    palmora_test::PaintPattern(2, 77);
  }
  void SetTexture(uint32_t seed) {
    auto& s = engine::State();
    s.textureImage = engine::AllocatePlane<uint8_t>(std::size_t(kW) * kH);
    const auto noise = RandomPixels(kW, kH, 1, seed);
    std::copy(noise.begin(), noise.end(), s.textureImage);
  }
  void SetMask(uint32_t seed) {
    auto& s = engine::State();
    for (int i = 0; i < kW * kH; ++i) s.maskPlane[i] = uint16_t(i * 7919u * seed);
    s.maskPlane[0] = 65535;
    s.maskEnabled = 1;
  }
};

// The model: the whole layer as 8-bit, the picture laid over it where it falls, the whole
// copy loaded back through mask and texture.
std::vector<uint16_t> ModelPaste(const std::vector<uint8_t>& picture, int32_t pw, int32_t ph,
                                 int32_t x, int32_t y) {
  std::vector<uint8_t> copy(std::size_t(kW) * kH * 4);
  EXPECT_EQ(PMR_GetRGBA32Layer(copy.data(), kW * 4, 2), 1);
  imaging::IS3OverlayImage(copy.data(), kW, kH, 4, kW * 4, picture.data(), uint32_t(pw),
                           uint32_t(ph), uint32_t(pw) * 4, x, y, 1.0, 1);
  EXPECT_EQ(PMR_LoadRGBA32Layer(copy.data(), kW * 4, 2, 0, 0, kW, kH, 1), 1);
  return ReadLayer(2);
}

TEST_F(ClipboardPaste, MatchesTheModelInsideAndLeavesTheRestAlone) {
  struct Case {
    const char* what;
    int32_t x, y, centred;
    int32_t px, py;  // where the picture's corner lands
    bool mask, texture, locked;
  };
  const int32_t pw = 14, ph = 9;
  const Case cases[] = {
      {"plain", 5, 6, 0, 5, 6, false, false, false},
      {"centred on (20, 15)", 20, 15, 1, 13, 11, false, false, false},
      {"clipped top left", -10, -5, 0, -10, -5, false, false, false},
      {"clipped bottom right", 33, 25, 0, 33, 25, true, false, false},
      {"masked", 3, 2, 0, 3, 2, true, false, false},
      {"textured", 20, 10, 0, 20, 10, false, true, false},
      {"masked, textured, alpha-locked", 10, 12, 0, 10, 12, true, true, true},
      {"centred odd size, locked", 7, 7, 1, 0, 3, false, false, true},
  };
  auto picture = RandomPixels(pw, ph, 4, 31);
  for (std::size_t i = 3; i < picture.size(); i += 20) picture[i] = 0;
  for (std::size_t i = 7; i < picture.size(); i += 12) picture[i] = 255;
  const auto original = ReadLayer(2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteLayer(2, original);
    auto& s = engine::State();
    s.maskEnabled = 0;
    engine::ReleasePlane(s.textureImage);
    if (c.mask) SetMask(3);
    if (c.texture) SetTexture(5);
    PMR_SetLayerOptions(2, 1, c.locked, 100, "Normal");
    const auto model = ModelPaste(picture, pw, ph, c.px, c.py);
    WriteLayer(2, original);
    ASSERT_EQ(PMR_RGBA32ToClipboardRect(picture.data(), 0, 0, pw, ph, 0), 1);
    ASSERT_EQ(PMR_FromClipboardInto(c.x, c.y, c.centred), 1);
    EXPECT_EQ(PMR_GetNewRGBAWidth(), 0) << "the paste empties the import buffer";
    const auto got = ReadLayer(2);
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) {
        const bool inside = x >= c.px && x < c.px + pw && y >= c.py && y < c.py + ph;
        const std::size_t i = (std::size_t(y) * kW + x) * 4;
        for (int k = 0; k < 4; ++k)
          ASSERT_EQ(got[i + k], inside ? model[i + k] : original[i + k])
              << x << "," << y << " channel " << k << (inside ? " inside" : " outside");
      }
  }
}

TEST_F(ClipboardPaste, AnOpaquePictureArrivesWholeAtItsCorner) {
  // A 40 x 20 picture centred on (100, 100) of a larger canvas has its corner at (80, 90).
  PMR_DeleteImage();
  MakeCanvas(200, 150);
  auto picture = RandomPixels(40, 20, 4, 8);
  for (std::size_t i = 3; i < picture.size(); i += 4) picture[i] = 255;
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(picture.data(), 0, 0, 40, 20, 0), 1);
  ASSERT_EQ(PMR_FromClipboardInto(100, 100, 1), 1);
  const auto layer = ReadLayer(2);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 40; ++x)
      for (int k = 0; k < 4; ++k)
        ASSERT_EQ(layer[((std::size_t(90 + y)) * 200 + 80 + x) * 4 + k],
                  Widen8(picture[(std::size_t(y) * 40 + x) * 4 + k]));
  EXPECT_EQ(layer[(std::size_t(89) * 200 + 80) * 4 + 3], 0) << "the row above stays clear";
}

TEST_F(ClipboardPaste, APasteOffTheCanvasChangesNothingAndEmptiesTheImportBuffer) {
  const auto original = ReadLayer(2);
  const auto picture = RandomPixels(5, 5, 4, 2);
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(picture.data(), 0, 0, 5, 5, 0), 1);
  EXPECT_EQ(PMR_FromClipboardInto(kW, 0, 0), 0);
  EXPECT_EQ(PMR_FromClipboardIntoEX2(-5, -100, 5, 0, 0, 0, 256), 0);
  EXPECT_EQ(ReadLayer(2), original);
  EXPECT_EQ(PMR_GetNewRGBAWidth(), 0);
}

// A picture of opaque pixels with distinct colours.
std::vector<uint8_t> OpaquePicture(int32_t w, int32_t h, uint32_t seed) {
  auto p = RandomPixels(uint32_t(w), uint32_t(h), 4, seed);
  for (std::size_t i = 3; i < p.size(); i += 4) p[i] = 255;
  return p;
}

TEST_F(ClipboardPaste, ScaledPasteAtItsOwnSizeAndAFullTurnIsThePicture) {
  const auto original = ReadLayer(2);
  const auto picture = OpaquePicture(20, 12, 4);
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(picture.data(), 0, 0, 20, 12, 0), 1);
  // Longer side 20 and 360 degrees: unscaled and unturned; at (-10, -5) the first 10 columns
  // and 5 rows are dropped.
  ASSERT_EQ(PMR_FromClipboardIntoEX2(-10, -5, 20, 360, 0, 1, 256), 1);
  const auto layer = ReadLayer(2);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x)
      for (int k = 0; k < 4; ++k) {
        const std::size_t i = (std::size_t(y) * kW + x) * 4 + k;
        const bool inside = x < 10 && y < 7;
        ASSERT_EQ(layer[i], inside ? Widen8(picture[(std::size_t(y + 5) * 20 + x + 10) * 4 + k])
                                   : original[i])
            << x << "," << y;
      }
  EXPECT_EQ(PMR_GetNewRGBAWidth(), 0);
}

TEST_F(ClipboardPaste, ScaledPastePicksPixelsWithoutSmoothing) {
  const auto picture = OpaquePicture(6, 4, 5);
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(picture.data(), 0, 0, 6, 4, 0), 1);
  // Twice the size: every pixel becomes a 2 x 2 block; centred on (20, 15) puts the corner at
  // (14, 11).
  ASSERT_EQ(PMR_FromClipboardIntoEX2(20, 15, 12, 0, 1, 0, 256), 1);
  const auto layer = ReadLayer(2);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 12; ++x)
      for (int k = 0; k < 4; ++k)
        ASSERT_EQ(layer[(std::size_t(11 + y) * kW + 14 + x) * 4 + k],
                  Widen8(picture[(std::size_t(y / 2) * 6 + x / 2) * 4 + k]))
            << x << "," << y;
}

TEST_F(ClipboardPaste, OpacityMixesAndAlphaLockKeepsTheLayersAlpha) {
  // A grey half-transparent layer, a red opaque picture pasted at half opacity.
  std::vector<uint16_t> grey(std::size_t(kW) * kH * 4);
  for (std::size_t i = 0; i < grey.size(); i += 4)
    grey[i] = grey[i + 1] = grey[i + 2] = 0x8000, grey[i + 3] = 0x8000;
  std::vector<uint8_t> red(4 * 4 * 4);
  for (std::size_t i = 0; i < red.size(); i += 4) red[i] = 255, red[i + 3] = 255;
  for (const int32_t locked : {0, 1}) {
    SCOPED_TRACE(locked ? "locked" : "unlocked");
    WriteLayer(2, grey);
    PMR_SetLayerOptions(2, 1, locked, 100, "Normal");
    ASSERT_EQ(PMR_RGBA32ToClipboardRect(red.data(), 0, 0, 4, 4, 0), 1);
    ASSERT_EQ(PMR_FromClipboardIntoEX2(2, 2, 4, 0, 0, 0, 128), 1);
    const auto layer = ReadLayer(2);
    const uint16_t* p = &layer[(std::size_t(3) * kW + 3) * 4];
    if (locked) {
      EXPECT_EQ(p[3], 0x8000);
    } else {
      // Alpha: 0.5 + 0.5 x (1 - 0.5) = 0.75 of full.
      EXPECT_NEAR(p[3], 0.75 * 65280, 300);
    }
    EXPECT_GT(p[0], 0x8000) << "red gains";
    EXPECT_LT(p[1], 0x8000) << "green loses";
    EXPECT_EQ(layer[(std::size_t(1) * kW + 1) * 4 + 3], 0x8000) << "outside untouched";
  }
}

TEST_F(ClipboardPaste, TurnedPasteFillsTheTurnedBox) {
  std::vector<uint8_t> blue(10 * 4 * 4);
  for (std::size_t i = 0; i < blue.size(); i += 4) blue[i + 2] = 255, blue[i + 3] = 255;
  std::vector<uint16_t> clear(std::size_t(kW) * kH * 4, 0);
  WriteLayer(2, clear);
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(blue.data(), 0, 0, 10, 4, 0), 1);
  // A quarter turn: 4 wide and 10 high, centred on (20, 15).
  ASSERT_EQ(PMR_FromClipboardIntoEX2(20, 15, 10, 90, 1, 0, 256), 1);
  const auto layer = ReadLayer(2);
  int32_t left = kW, right = -1, top = kH, bottom = -1;
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x)
      if (layer[(std::size_t(y) * kW + x) * 4 + 3]) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
        EXPECT_EQ(layer[(std::size_t(y) * kW + x) * 4 + 2], 65280);
      }
  EXPECT_EQ(right - left + 1, 4);
  EXPECT_EQ(bottom - top + 1, 10);
  EXPECT_EQ(left, 18);
  EXPECT_EQ(top, 10);
}

TEST_F(ClipboardPaste, ImageBrushIsTheScaledPictureCentredOnASquare) {
  const auto picture = OpaquePicture(40, 20, 6);
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(picture.data(), 0, 0, 40, 20, 0), 1);
  ASSERT_EQ(PMR_FromClipboardToImageBrush(16), 1);
  EXPECT_EQ(PMR_GetNewRGBAWidth(), 0);
  const auto& brush = brush::ImageBrushes().brush;
  ASSERT_TRUE(brush);
  ASSERT_EQ(brush.width, 16);
  ASSERT_EQ(brush.height, 16);
  // 16 x 8 centred: rows 4..11 hold the picture, the rest is clear.
  for (int32_t y = 0; y < 16; ++y) {
    const uint16_t alpha = brush.pixels[(std::size_t(y) * 16 + 8) * 4 + 3];
    if (y < 4 || y >= 12)
      EXPECT_EQ(alpha, 0) << y;
    else
      EXPECT_GT(alpha, 0xF000) << y;
  }
}

}  // namespace
