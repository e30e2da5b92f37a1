#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/engine_state.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;

using MaskPlane = EngineTest;

std::vector<uint16_t> Plane() {
  const auto& s = State();
  return {s.maskPlane, s.maskPlane + std::size_t(s.canvasWidth) * s.canvasHeight};
}
bool AllEqual(const std::vector<uint16_t>& plane, uint16_t value) {
  return std::all_of(plane.begin(), plane.end(), [=](uint16_t m) { return m == value; });
}

TEST_F(MaskPlane, ClearMapsTheGreyMeanOntoTheMask) {
  MakeCanvas(5, 3);
  PMR_ClearMask(65280, 65280, 65280);
  EXPECT_TRUE(AllEqual(Plane(), 0));
  PMR_ClearMask(0, 0, 0);
  EXPECT_TRUE(AllEqual(Plane(), 65535));
  PMR_ClearMask(65535, 65535, 65281);  // mean above white
  EXPECT_TRUE(AllEqual(Plane(), 0));
  PMR_ClearMask(255, 255, 256);  // mean 255: still counts as black
  EXPECT_TRUE(AllEqual(Plane(), 65535));
  PMR_ClearMask(256, 256, 257);  // mean 256
  EXPECT_TRUE(AllEqual(Plane(), 65024));
  PMR_ClearMask(0x10000 + 30000, 30000, 30000);  // 16-bit arguments use their low bits
  EXPECT_TRUE(AllEqual(Plane(), 65280 - 30000));
}

TEST_F(MaskPlane, SaveThenLoadKeepsTheHighByteAndInvertTwiceRestores) {
  MakeCanvas(256, 256);
  auto& s = State();
  for (uint32_t i = 0; i < 65536; ++i) s.maskPlane[i] = static_cast<uint16_t>(i);
  PMR_InvertMask();
  for (uint32_t i = 0; i < 65536; i += 4097) ASSERT_EQ(s.maskPlane[i], 65535 - i);
  PMR_InvertMask();
  for (uint32_t i = 0; i < 65536; ++i) ASSERT_EQ(s.maskPlane[i], i);

  const int32_t stride = 256 * 3 + 5;
  std::vector<uint8_t> image(std::size_t(stride) * 256, 0xAB);
  PMR_SaveMask(image.data(), stride);
  EXPECT_EQ(image[0], 255);           // m = 0: fully protected shows white
  EXPECT_EQ(image[255 * 3], 255);     // m = 255
  EXPECT_EQ(image[stride + 0], 254);  // m = 256
  EXPECT_EQ(image[256 * 3], 0xAB);    // padding untouched
  std::fill_n(s.maskPlane, 65536, 7);
  PMR_LoadMask(image.data(), stride, 256, 256);
  for (uint32_t m = 0; m < 65536; ++m) {
    const uint32_t expect = m >= 65280 ? 65535 : (m & 0xFF00);
    ASSERT_EQ(s.maskPlane[m], expect) << m;
  }
}

TEST_F(MaskPlane, LoadUsesTheMeanAndClipsToTheCanvas) {
  MakeCanvas(6, 4);
  auto& s = State();
  std::fill_n(s.maskPlane, 24, 1234);
  // A 10 x 8 image (larger than the canvas): pixel (x, y) has grey x + 10 y, spread over its
  // three bytes so that only the mean gives it back.
  std::vector<uint8_t> big(10 * 8 * 3);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      uint8_t* p = &big[(y * 10 + x) * 3];
      const int grey = x + 10 * y;
      p[0] = uint8_t(grey + 1), p[1] = uint8_t(grey), p[2] = uint8_t(grey - (grey > 0 ? 1 : 0));
      if (grey == 0) p[0] = p[1] = p[2] = 0;
    }
  PMR_LoadMask(big.data(), 30, 10, 8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      const int grey = x + 10 * y;
      EXPECT_EQ(s.maskPlane[y * 6 + x], grey == 0 ? 65535 : 65280 - 256 * grey);
    }
  // A smaller image changes only its own top-left part.
  std::fill_n(s.maskPlane, 24, 1234);
  const uint8_t small[2 * 3 * 2] = {255, 255, 255, 0, 0, 0, 3, 3, 3, 1, 2, 3};
  PMR_LoadMask(small, 6, 2, 2);
  EXPECT_EQ(s.maskPlane[0], 0);
  EXPECT_EQ(s.maskPlane[1], 65535);
  EXPECT_EQ(s.maskPlane[6], 65280 - 768);
  EXPECT_EQ(s.maskPlane[7], 65280 - 512);
  EXPECT_EQ(s.maskPlane[2], 1234);
  EXPECT_EQ(s.maskPlane[12], 1234);
}

TEST_F(MaskPlane, BadArgumentsChangeNothing) {
  MakeCanvas(6, 4);
  auto& s = State();
  std::fill_n(s.maskPlane, 24, 4321);
  std::vector<uint8_t> image(6 * 4 * 3, 9);
  PMR_LoadMask(nullptr, 18, 6, 4);
  PMR_LoadMask(image.data(), 17, 6, 4);  // rows would overlap
  PMR_LoadMask(image.data(), 18, 0, 4);
  PMR_LoadMask(image.data(), 18, 6, -1);
  EXPECT_TRUE(AllEqual(Plane(), 4321));
  PMR_SaveMask(nullptr, 18);
  PMR_SaveMask(image.data(), 17);
  EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](uint8_t b) { return b == 9; }));
  PMR_DeleteImage();
  PMR_ClearMask(0, 0, 0);  // no canvas, no plane: nothing to do, nothing to crash on
  PMR_InvertMask();
  PMR_LoadMask(image.data(), 18, 6, 4);
}

TEST_F(MaskPlane, OptionsStoreTintsOnTheSixteenBitScale) {
  PMR_SetMaskOptions(255, 1, 0, 16, 32, 0x1FF, 1);
  const auto& s = State();
  EXPECT_EQ(s.maskTintOdd[0], 65280);
  EXPECT_EQ(s.maskTintOdd[1], 256);
  EXPECT_EQ(s.maskTintOdd[2], 0);
  EXPECT_EQ(s.maskTintEven[0], 4096);
  EXPECT_EQ(s.maskTintEven[1], 8192);
  EXPECT_EQ(s.maskTintEven[2], 65280);  // 8-bit argument: low byte
  EXPECT_EQ(s.maskFullStrength, 1);
}

}  // namespace
