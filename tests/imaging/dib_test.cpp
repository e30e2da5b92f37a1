// Device-independent bitmaps: the layouts the clipboard carries, built by hand byte by byte.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imaging/dib.h"

namespace {

using namespace imaging;

void Put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A header as another program would write it.
std::vector<uint8_t> Header(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                            std::size_t pixelBytes, uint32_t headerBytes = 40) {
  std::vector<uint8_t> b(headerBytes + 12 + pixelBytes, 0);
  Put32(b, 0, headerBytes);
  Put32(b, 4, uint32_t(width));
  Put32(b, 8, uint32_t(height));
  b[12] = 1;
  b[14] = uint8_t(bits);
  Put32(b, 16, compression);
  return b;
}

TEST(DIB, WritesBottomUpBlueFirstRowsAndReadsThemBack) {
  // 2 x 2: row 0 red (alpha 0, colour kept), blue; row 1 green, grey.
  const std::vector<uint8_t> rgba = {255, 0, 0, 0, 0, 0, 255, 10, 0, 255, 0, 200, 7, 8, 9, 255};
  std::vector<uint8_t> block(DIBBytes(2, 2) + 4000, 0xEE);
  ASSERT_EQ(IS3RGBAToDIB(rgba.data(), 2, 2, block.data()), 1);
  // The last picture row comes first, each pixel blue, green, red, alpha.
  const std::vector<uint8_t> rows = {0, 255, 0, 200, 9, 8, 7, 255, 0, 0, 255, 0, 255, 0, 0, 10};
  EXPECT_EQ(std::vector<uint8_t>(block.begin() + 40, block.begin() + 56), rows);
  EXPECT_EQ(block[56], 0xEE) << "nothing past the pixels is written";
  EXPECT_EQ(IS3DIBWidth(block.data()), 2u);
  EXPECT_EQ(IS3DIBHeight(block.data()), 2u);
  std::vector<uint8_t> back(16, 0);
  ASSERT_EQ(IS3DIBToRGBA(block.data(), 255, back.data()), 1);
  EXPECT_EQ(back, rgba);
}

TEST(DIB, ReadsOtherProgramsLayouts) {
  // 24-bit top-down, 3 pixels a row padded to 12 bytes; alpha comes from the argument.
  auto b24 = Header(3, -2, 24, 0, 24);
  const uint8_t px24[24] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                            10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
  std::memcpy(b24.data() + 40, px24, 24);
  std::vector<uint8_t> out(3 * 2 * 4);
  ASSERT_EQ(IS3DIBToRGBA(b24.data(), 77, out.data()), 1);
  EXPECT_EQ(IS3DIBHeight(b24.data()), 2u);
  const std::vector<uint8_t> want24 = {3,  2,  1,  77, 6,  5,  4,  77, 9,  8,  7,  77,
                                       12, 11, 10, 77, 15, 14, 13, 77, 18, 17, 16, 77};
  EXPECT_EQ(out, want24);
  // 32-bit with the usual bit fields after a short header.
  auto bf = Header(1, 1, 32, 3, 4);
  Put32(bf, 40, 0x00FF0000), Put32(bf, 44, 0x0000FF00), Put32(bf, 48, 0x000000FF);
  const uint8_t px[4] = {30, 20, 10, 99};
  std::memcpy(bf.data() + 52, px, 4);
  std::vector<uint8_t> one(4);
  ASSERT_EQ(IS3DIBToRGBA(bf.data(), 255, one.data()), 1);
  EXPECT_EQ(one, (std::vector<uint8_t>{10, 20, 30, 99}));
}

TEST(DIB, RefusesWhatItCannotConvertAndWritesNothing) {
  struct Case {
    const char* what;
    std::vector<uint8_t> block;
  };
  auto masks = Header(1, 1, 32, 3, 4);
  Put32(masks, 40, 0x000000FF), Put32(masks, 44, 0x0000FF00), Put32(masks, 48, 0x00FF0000);
  auto planes = Header(1, 1, 32, 0, 4);
  planes[12] = 2;
  const Case cases[] = {
      {"8-bit palette", Header(1, 1, 8, 0, 4)},
      {"run-length", Header(1, 1, 24, 1, 4)},
      {"odd bit fields", masks},
      {"two planes", planes},
      {"zero width", Header(0, 1, 32, 0, 4)},
      {"zero height", Header(1, 0, 32, 0, 4)},
      {"huge", Header(70000, 70000, 32, 0, 4)},
      {"short header", Header(1, 1, 32, 0, 4, 12)},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> out(4, 0xAB);
    EXPECT_EQ(IS3DIBWidth(c.block.data()), 0u) << c.what;
    EXPECT_EQ(IS3DIBToRGBA(c.block.data(), 255, out.data()), 0) << c.what;
    EXPECT_EQ(out, std::vector<uint8_t>(4, 0xAB)) << c.what;
  }
  std::vector<uint8_t> block(64);
  const uint8_t px[4] = {};
  EXPECT_EQ(IS3RGBAToDIB(nullptr, 1, 1, block.data()), 0);
  EXPECT_EQ(IS3RGBAToDIB(px, 0, 1, block.data()), 0);
  EXPECT_EQ(IS3RGBAToDIB(px, 1, 1, nullptr), 0);
  EXPECT_EQ(IS3DIBWidth(nullptr), 0u);
}

}  // namespace
