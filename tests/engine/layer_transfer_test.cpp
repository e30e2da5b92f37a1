// Moving pixels between layers and host buffers: 16-bit copies are exact, 8-bit reads take the
// high byte of every sample (0x12AB reads as 0x12), and a refusal leaves everything as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/engine_state.h"
#include "engine/pixel_formats.h"
#include "support/engine_fixture.h"
#include "support/transfer_support.h"

namespace {

using engine::State;
using palmora_test::EngineChecksum;
using palmora_test::PaintPattern;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

using LayerTransfer = palmora_test::EngineTest;

constexpr int W = 13, H = 7;

TEST_F(LayerTransfer, EightBitReadsTakeTheHighByteOfEverySample) {
  MakeCanvas(W, H);
  PaintPattern(2, 11);
  const auto layer = ReadLayer(2);
  const int pad = 5;
  std::vector<uint8_t> rgba((W * 4 + pad) * H, 0xEE), rgb((W * 3 + pad) * H, 0xEE),
      grey((W * 3 + pad) * H, 0xEE);
  ASSERT_EQ(PMR_GetRGBA32Layer(rgba.data(), W * 4 + pad, 2), 1);
  ASSERT_EQ(PMR_GetRGB24(rgb.data(), W * 3 + pad), 1);
  ASSERT_EQ(PMR_GetRGB24FromAlpha(grey.data(), W * 3 + pad), 1);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const uint16_t* p = &layer[(y * W + x) * 4];
      for (int c = 0; c < 4; ++c) EXPECT_EQ(rgba[y * (W * 4 + pad) + x * 4 + c], p[c] / 256);
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(rgb[y * (W * 3 + pad) + x * 3 + c], p[c] / 256);
        EXPECT_EQ(grey[y * (W * 3 + pad) + x * 3 + c], p[3] / 256);
      }
    }
    // The padding at the end of each host row is never written.
    for (int i = 0; i < pad; ++i) {
      EXPECT_EQ(rgba[y * (W * 4 + pad) + W * 4 + i], 0xEE);
      EXPECT_EQ(rgb[y * (W * 3 + pad) + W * 3 + i], 0xEE);
    }
  }
  std::vector<uint8_t> current(W * 4 * H), rgbLayer(W * 3 * H);
  ASSERT_EQ(PMR_GetRGBA32(current.data(), W * 4), 1);
  ASSERT_EQ(PMR_GetRGB24Layer(rgbLayer.data(), W * 3, 2), 1);
  for (int y = 0; y < H; ++y) {
    EXPECT_EQ(0, std::memcmp(&current[y * W * 4], &rgba[y * (W * 4 + pad)], W * 4));
    EXPECT_EQ(0, std::memcmp(&rgbLayer[y * W * 3], &rgb[y * (W * 3 + pad)], W * 3));
  }
}

TEST_F(LayerTransfer, EightBitRoundTripClearsTheLowByte) {
  MakeCanvas(W, H, 3);
  State().maskEnabled = 0;
  PaintPattern(2, 4);
  auto layer = ReadLayer(2);
  for (std::size_t i = 3; i < layer.size(); i += 4) layer[i] |= 0x100;  // no alpha of 0
  WriteLayer(2, layer);
  std::vector<uint8_t> rgba(W * 4 * H);
  ASSERT_EQ(PMR_GetRGBA32Layer(rgba.data(), W * 4, 2), 1);
  ASSERT_EQ(PMR_LoadRGBA32Layer(rgba.data(), W * 4, 3, 0, 0, W, H, 0), 1);
  auto expected = layer;
  for (auto& v : expected) v &= 0xFF00;
  EXPECT_EQ(ReadLayer(3), expected);
}

TEST_F(LayerTransfer, SixteenBitRectanglesAndPlanesAreExact) {
  MakeCanvas(W, H, 3);
  PaintPattern(2, 21);
  const auto layer = ReadLayer(2);
  // A rectangle hanging over the top-left corner: dst's first pixel stands for (-2, -1).
  const int rw = 6, rh = 4, rowBytes = rw * 8 + 8;
  std::vector<uint16_t> rect(rowBytes / 2 * rh, 0xBEEF);
  ASSERT_EQ(PMR_GetRGBA64LayerRect(rect.data(), rowBytes, 2, -2, -1, rw, rh), 1);
  for (int j = 0; j < rh; ++j) {
    for (int i = 0; i < rw; ++i) {
      const int x = i - 2, y = j - 1;
      for (int c = 0; c < 4; ++c) {
        const uint16_t got = rect[j * (rowBytes / 2) + i * 4 + c];
        EXPECT_EQ(got, (x < 0 || y < 0) ? 0xBEEF : layer[(y * W + x) * 4 + c]) << i << "," << j;
      }
    }
  }
  // A rectangle past the bottom-right corner writes only what lies inside.
  std::vector<uint16_t> corner(4 * 4 * 4, 0xBEEF);
  ASSERT_EQ(PMR_GetRGBA64LayerRect(corner.data(), 32, 2, W - 1, H - 1, 4, 4), 1);
  EXPECT_EQ(corner[0], layer[((H - 1) * W + W - 1) * 4]);
  EXPECT_EQ(corner[4], 0xBEEF);
  EXPECT_EQ(corner[16], 0xBEEF);
  EXPECT_EQ(PMR_GetRGBA64LayerRect(corner.data(), 32, 2, W, 0, 4, 4), 0);

  std::vector<uint16_t> plane(W * H * 4);
  ASSERT_EQ(PMR_GetLayerData(plane.data(), 2), 1);
  EXPECT_EQ(plane, layer);
  ASSERT_EQ(PMR_CopyLayerData(2, 3), 1);
  EXPECT_EQ(ReadLayer(3), layer);
  for (auto& v : plane) v = uint16_t(v ^ 0x5A5A);
  ASSERT_EQ(PMR_SetLayerData(plane.data(), 3), 1);
  EXPECT_EQ(ReadLayer(3), plane);
}

TEST_F(LayerTransfer, RefusalsChangeNothingAndWriteNothing) {
  MakeCanvas(W, H);
  PaintPattern(2, 9);
  ASSERT_EQ(PMR_CreateLayer(4, W + 1, H), 1);  // a layer not of the canvas size
  std::vector<uint8_t> buffer(W * 8 * H * 2, 0xCD);
  const auto untouched = buffer;
  const uint64_t before = EngineChecksum();
  for (int index : {-1, 64, 1000, 9, 4}) {
    EXPECT_EQ(PMR_GetRGBA32Layer(buffer.data(), W * 4, index), 0) << index;
    EXPECT_EQ(PMR_GetRGB24Layer(buffer.data(), W * 3, index), 0) << index;
    EXPECT_EQ(PMR_GetRGBA64Layer(buffer.data(), W * 8, index), 0) << index;
    EXPECT_EQ(PMR_SetRGBA64Layer(buffer.data(), W * 8, index), 0) << index;
    EXPECT_EQ(PMR_GetRGBA64LayerRect(buffer.data(), W * 8, index, 0, 0, 2, 2), 0) << index;
    EXPECT_EQ(PMR_GetLayerData(buffer.data(), index), 0) << index;
    EXPECT_EQ(PMR_SetLayerData(buffer.data(), index), 0) << index;
    EXPECT_EQ(PMR_CopyLayerData(2, index), 0) << index;
    EXPECT_EQ(PMR_CopyLayerData(index, 2), 0) << index;
  }
  EXPECT_EQ(PMR_GetRGBA32Layer(nullptr, W * 4, 2), 0);
  EXPECT_EQ(PMR_GetRGBA32Layer(buffer.data(), W * 4 - 1, 2), 0);
  EXPECT_EQ(PMR_GetRGB24(buffer.data(), W * 3 - 1), 0);
  EXPECT_EQ(PMR_GetRGB24FromAlpha(buffer.data(), -W * 3), 0);
  EXPECT_EQ(PMR_SetRGBA64Layer(buffer.data(), W * 8 - 8, 2), 0);
  EXPECT_EQ(PMR_SetRGBA64Layer(nullptr, W * 8, 2), 0);
  EXPECT_EQ(PMR_GetRGBA64LayerRect(buffer.data(), 15, 2, 0, 0, 2, 2), 0);
  EXPECT_EQ(PMR_SetLayerData(nullptr, 2), 0);
  EXPECT_EQ(EngineChecksum(), before);
  EXPECT_EQ(buffer, untouched);

  // Without a current layer the current-layer reads refuse too.
  State().currentLayer = nullptr;
  EXPECT_EQ(PMR_GetRGBA32(buffer.data(), W * 4), 0);
  EXPECT_EQ(PMR_GetRGB24(buffer.data(), W * 3), 0);
  EXPECT_EQ(buffer, untouched);
}

TEST_F(LayerTransfer, PackedHelpersConvertEachByte) {
  const uint8_t bytes[8] = {0, 1, 127, 255, 128, 64, 32, 16};
  uint16_t wide[8];
  engine::RGBA32ToRGBA64(bytes, wide, 2, 1);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(wide[i], bytes[i] * 256);
  wide[3] = 0xFFFF;  // 65535 narrows to 255, 65280 widens back
  uint8_t narrow[8];
  engine::RGBA64ToRGBA32(wide, narrow, 1, 2);
  EXPECT_EQ(0, std::memcmp(narrow, bytes, 8));
  engine::FillAlphaRGBA32(narrow, 2, 1, 9);
  EXPECT_EQ(narrow[3], 9);
  EXPECT_EQ(narrow[7], 9);
  EXPECT_EQ(narrow[6], 32);
  engine::FillAlphaRGBA32(narrow, -2, 1, 1);  // nothing for a negative size
  EXPECT_EQ(narrow[3], 9);
}

}  // namespace
