// Conversions between host buffers: high bytes out of RGBA64 blocks, with the block converters'
// rule that x and y count columns and rows (width - x, height - y) without moving the buffers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/parallel_rows.h"
#include "support/engine_fixture.h"
#include "support/failing_new.h"
#include "support/transfer_support.h"

namespace {

using HostBufferConvert = palmora_test::EngineTest;

// An RGBA64 block whose samples are 0xC0DE-like: high byte = (pixel + channel), low byte 0x77.
std::vector<uint16_t> Block(int width, int height, int rowPixels) {
  std::vector<uint16_t> block(std::size_t(rowPixels) * height * 4, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < rowPixels; ++x)
      for (int c = 0; c < 4; ++c)
        block[(y * rowPixels + x) * 4 + c] = uint16_t(((y * 16 + x + c * 3) & 0xFF) << 8 | 0x77);
  return block;
}

TEST_F(HostBufferConvert, BlockConvertersCountColumnsFromXWithoutMovingTheBuffers) {
  const int rowPixels = 8;
  const auto src = Block(8, 5, rowPixels);
  std::vector<uint8_t> dst(8 * 4 * 5, 0xEE);
  // x = 2, y = 1 over a 6 x 4 block: 4 columns and 3 rows, read from the block's start.
  ASSERT_EQ(PMR_GetRGBA32FromRGBA64Rect(dst.data(), 32, src.data(), rowPixels * 8, 2, 1, 6, 4), 1);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 8; ++x) {
      for (int c = 0; c < 4; ++c) {
        const uint8_t expect =
            (y < 3 && x < 4) ? uint8_t(src[(y * rowPixels + x) * 4 + c] >> 8) : 0xEE;
        EXPECT_EQ(dst[y * 32 + x * 4 + c], expect) << x << "," << y;
      }
    }
  }
  // A negative x counts as 0: never more than the block's own width is read.
  std::vector<uint8_t> rgb(8 * 3 * 5, 0xEE);
  ASSERT_EQ(PMR_GetRGB24FromRGBA64Rect(rgb.data(), 24, src.data(), rowPixels * 8, -3, 0, 2, 1), 1);
  EXPECT_EQ(rgb[3], src[4] >> 8);
  EXPECT_EQ(rgb[6], 0xEE);
  EXPECT_EQ(rgb[24], 0xEE);

  std::vector<uint8_t> whole(5 * 4 * 2, 0);
  ASSERT_EQ(PMR_GetRGBA32FromRGBA64(whole.data(), 20, 5, 2, src.data(), rowPixels * 8), 1);
  EXPECT_EQ(whole[19], src[4 * 4 + 3] >> 8);
  EXPECT_EQ(whole[20], src[rowPixels * 4] >> 8);

  EXPECT_EQ(PMR_GetRGBA32FromRGBA64Rect(nullptr, 32, src.data(), 64, 0, 0, 2, 2), 0);
  EXPECT_EQ(PMR_GetRGB24FromRGBA64Rect(rgb.data(), 24, nullptr, 64, 0, 0, 2, 2), 0);
  EXPECT_EQ(PMR_GetRGBA32FromRGBA64(dst.data(), 7, 2, 2, src.data(), 64), 0);  // rows too short
}

TEST_F(HostBufferConvert, CanvasSizedBlockIntoRGB24) {
  MakeCanvas(3, 2);
  const auto src = Block(3, 2, 3);
  std::vector<uint8_t> dst(3 * 3 * 2);
  ASSERT_EQ(PMR_GetRGB24FromRGBA64(dst.data(), 9, src.data(), 24), 1);
  for (int p = 0; p < 6; ++p)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(dst[p * 3 + c], src[p * 4 + c] >> 8);
}

TEST_F(HostBufferConvert, RectangleConvertersReadAtXAndPack) {
  const int rowPixels = 10;
  const auto src = Block(10, 6, rowPixels);
  std::vector<uint8_t> rgba(3 * 4 * 2), rgb(3 * 3 * 2);
  ASSERT_EQ(PMR_RGBA64RectToRGBA32(src.data(), 4, 2, 3, 2, rowPixels, 0, rgba.data()), 1);
  ASSERT_EQ(PMR_RGBA64RectToRGBA24(src.data(), 4, 2, 3, 2, rowPixels, 0, rgb.data()), 1);
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 3; ++i) {
      const uint16_t* p = &src[((2 + j) * rowPixels + 4 + i) * 4];
      for (int c = 0; c < 4; ++c) EXPECT_EQ(rgba[(j * 3 + i) * 4 + c], p[c] >> 8);
      for (int c = 0; c < 3; ++c) EXPECT_EQ(rgb[(j * 3 + i) * 3 + c], p[c] >> 8);
    }
  }
  // Rectangles that leave the source rows are refused and write nothing.
  std::vector<uint8_t> untouched(rgba);
  EXPECT_EQ(PMR_RGBA64RectToRGBA32(src.data(), -1, 0, 3, 2, rowPixels, 0, rgba.data()), 0);
  EXPECT_EQ(PMR_RGBA64RectToRGBA32(src.data(), 8, 0, 3, 2, rowPixels, 0, rgba.data()), 0);
  EXPECT_EQ(PMR_RGBA64RectToRGBA32(src.data(), 0, -1, 3, 2, rowPixels, 0, rgba.data()), 0);
  EXPECT_EQ(PMR_RGBA64RectToRGBA24(nullptr, 0, 0, 3, 2, rowPixels, 0, rgb.data()), 0);
  EXPECT_EQ(rgba, untouched);
}

TEST_F(HostBufferConvert, SetPixelWritesOnlyInsideTheCanvas) {
  MakeCanvas(4, 3);
  std::vector<uint8_t> dst(4 * 3 * 3, 0);
  EXPECT_EQ(PMR_SetPixelRGB24(dst.data(), 12, 3, 2, 0x1234, 0xABCD, 0xFF01), 1);
  EXPECT_EQ(dst[2 * 12 + 9], 0x12);
  EXPECT_EQ(dst[2 * 12 + 10], 0xAB);
  EXPECT_EQ(dst[2 * 12 + 11], 0xFF);
  const auto after = dst;
  EXPECT_EQ(PMR_SetPixelRGB24(dst.data(), 12, 4, 0, 0xFFFF, 0xFFFF, 0xFFFF),
            0);  // x = canvas width
  EXPECT_EQ(PMR_SetPixelRGB24(dst.data(), 12, 0, 3, 0xFFFF, 0xFFFF, 0xFFFF), 0);
  EXPECT_EQ(PMR_SetPixelRGB24(dst.data(), 12, -1, 0, 0xFFFF, 0xFFFF, 0xFFFF), 0);
  EXPECT_EQ(PMR_SetPixelRGB24(dst.data(), 11, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF), 0);
  EXPECT_EQ(dst, after);
}

// A memory failure while the row work starts (threads, the band function) is the export's message
// and result 0, at every allocation it can hit; it never leaves the C interface.
TEST_F(HostBufferConvert, RectangleConvertersReportMemoryFailures) {
  const int rowPixels = 64;
  const auto src = Block(64, 64, rowPixels);
  std::vector<uint8_t> out(64 * 64 * 4);
  engine::SetRowBandThreadsForTesting(3);
  for (const bool rgb24 : {false, true}) {
    const std::string message = rgb24 ? "RGBA64RectToRGBA24 Excpt" : "RGBA64RectToRGBA32 Excpt";
    int32_t result = 0;
    for (long successes = 0; successes < 64 && result == 0; ++successes) {
      PMR_SetLastError("");
      palmora_test::FailNewAfter(successes);
      result = rgb24 ? PMR_RGBA64RectToRGBA24(src.data(), 0, 0, 64, 64, rowPixels, 0, out.data())
                     : PMR_RGBA64RectToRGBA32(src.data(), 0, 0, 64, 64, rowPixels, 0, out.data());
      palmora_test::StopFailingNew();
      if (result == 0) {
        EXPECT_EQ(PMR_GetLastError(), message) << successes;
      }
    }
    EXPECT_EQ(result, 1) << message;
  }
  engine::SetRowBandThreadsForTesting(0);
}

}  // namespace
