#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/engine_state.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;

using MaskAlpha = EngineTest;

TEST_F(MaskAlpha, HighByteScalesAlpha) {
  MakeCanvas(4, 1);
  uint16_t* m = State().maskPlane;
  m[0] = 65280, m[1] = 65279, m[2] = 255, m[3] = 32768;
  std::vector<uint8_t> px = {1, 2, 3, 200, 1, 2, 3, 200, 1, 2, 3, 200, 1, 2, 3, 200};
  PMR_ApplyMaskToAlpha_RGBA32(px.data());
  EXPECT_EQ(px[3], 200);               // high byte 255 keeps
  EXPECT_EQ(px[7], 200 * 255 / 256);   // high byte 254 takes 255/256
  EXPECT_EQ(px[11], 0);                // high byte 0 clears
  EXPECT_EQ(px[15], 200 * 129 / 256);  // high byte 128
  EXPECT_EQ(px[4], 1);                 // colour untouched
}

TEST_F(MaskAlpha, RectangleBufferStartsAtItsCornerAndKeepsToTheCanvas) {
  MakeCanvas(5, 4);
  uint16_t* m = State().maskPlane;
  for (int i = 0; i < 20; ++i) m[i] = uint16_t(i * 13 << 8);  // high byte 13 i
  // Canvas columns -2..2 and rows 2..5: a 5 x 4 buffer with padded rows. Only canvas pixels
  // (0..2, 2..3) change; they sit at buffer columns 2..4 and rows 0..1.
  const int stride = 5 * 4 + 3;
  std::vector<uint8_t> buffer(stride * 4, 255);
  PMR_ApplyMaskToAlphaRect_RGBA32(buffer.data(), stride, -2, 2, 2, 5);
  for (int by = 0; by < 4; ++by)
    for (int bx = 0; bx < 5; ++bx) {
      const int cx = bx - 2, cy = by + 2;
      const bool inside = cx >= 0 && cy < 4;
      const int hb = inside ? 13 * (cy * 5 + cx) : 255;
      const int expect = hb == 0 ? 0 : hb == 255 ? 255 : (255 * (hb + 1)) >> 8;
      EXPECT_EQ(buffer[by * stride + bx * 4 + 3], expect) << bx << "," << by;
    }
  EXPECT_EQ(buffer[stride - 1], 255);  // padding
  // Wholly outside, inverted corners, short strides: nothing happens.
  std::vector<uint8_t> copy = buffer;
  PMR_ApplyMaskToAlphaRect_RGBA32(buffer.data(), stride, 5, 0, 9, 3);
  PMR_ApplyMaskToAlphaRect_RGBA32(buffer.data(), stride, -9, 0, -1, 3);
  PMR_ApplyMaskToAlphaRect_RGBA32(buffer.data(), stride, 2, 2, 1, 3);
  PMR_ApplyMaskToAlphaRect_RGBA32(buffer.data(), 19, 0, 0, 4, 3);
  EXPECT_EQ(buffer, copy);
}

TEST_F(MaskAlpha, ReplaceByAlphaRangeLeavesTheMask) {
  MakeCanvas(3, 1);
  std::fill_n(State().maskPlane, 3, 500);
  // Tolerance 2 % is 5 steps: alphas 95 and 105 match 100, 106 does not.
  std::vector<uint8_t> px = {1, 1, 1, 95, 2, 2, 2, 105, 3, 3, 3, 106};
  PMR_ReplaceFromRGBAImageAlphaRange(px.data(), 100, 2, 10, 20, 30, 40);
  EXPECT_EQ(px, (std::vector<uint8_t>{10, 20, 30, 40, 10, 20, 30, 40, 3, 3, 3, 106}));
  EXPECT_EQ(State().maskPlane[0], 500);
}

TEST(ChannelHelpers, MoveChannelsBetweenPixelSizes) {
  const uint8_t rgba[8] = {10, 20, 30, 40, 50, 61, 71, 81};
  const uint8_t rgb[6] = {1, 2, 4, 250, 251, 255};
  uint8_t out3[6] = {};
  PMR_RGBAlphaToRGB(out3, 2, 1, rgba);
  EXPECT_EQ(std::vector<uint8_t>(out3, out3 + 6), (std::vector<uint8_t>{40, 40, 40, 81, 81, 81}));
  PMR_RGBAToRGB(out3, 1, 2, rgba);
  EXPECT_EQ(std::vector<uint8_t>(out3, out3 + 6), (std::vector<uint8_t>{10, 20, 30, 50, 61, 71}));
  uint8_t out4[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  PMR_RGBToRGBAlpha(out4, 2, 1, rgb);
  EXPECT_EQ(std::vector<uint8_t>(out4, out4 + 8), (std::vector<uint8_t>{9, 9, 9, 2, 9, 9, 9, 252}));
  PMR_RGBToRGBA(out4, 2, 1, rgb);
  EXPECT_EQ(std::vector<uint8_t>(out4, out4 + 8),
            (std::vector<uint8_t>{1, 2, 4, 2, 250, 251, 255, 252}));
  PMR_RGBToRGBA(nullptr, 2, 1, rgb);
  PMR_RGBToRGBA(out4, -2, 1, rgb);
  PMR_RGBAToRGB(out3, 2, 1, nullptr);
}

}  // namespace
