// Run-length line streams: records of (count, bytes...), high bytes in, bytes x 256 out. The
// tests build streams by hand, round-trip layers and masks through them, and feed the checked
// decoders streams that end early.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/engine_state.h"
#include "support/engine_fixture.h"
#include "support/transfer_support.h"

namespace {

using engine::State;
using palmora_test::EngineChecksum;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

using RunLength = palmora_test::EngineTest;

// A plain model of the encoder: runs of equal 8-bit pixels, at most 255 long.
std::vector<uint8_t> ModelEncodeRGBA(const std::vector<uint16_t>& pixels) {
  std::vector<uint8_t> out;
  const std::size_t n = pixels.size() / 4;
  std::size_t i = 0;
  while (i < n) {
    std::size_t run = 1;
    auto same = [&](std::size_t a, std::size_t b) {
      for (int c = 0; c < 4; ++c)
        if (pixels[a * 4 + c] / 256 != pixels[b * 4 + c] / 256) return false;
      return true;
    };
    while (i + run < n && run < 255 && same(i, i + run)) ++run;
    out.push_back(uint8_t(run));
    for (int c = 0; c < 4; ++c) out.push_back(uint8_t(pixels[i * 4 + c] / 256));
    i += run;
  }
  return out;
}

TEST_F(RunLength, RunsAreCutAt255AndSingletonsMakeOneRecord) {
  std::vector<uint16_t> row(300 * 4);
  for (std::size_t i = 0; i < row.size(); i += 4) {
    row[i] = 0x1200;
    row[i + 1] = 0x3400;
    row[i + 2] = 0x5600;
    row[i + 3] = 0x7800;
  }
  std::vector<uint8_t> out(300 * 5, 0xEE);
  ASSERT_EQ(PMR_RLECompressRGBA64ToRGBA32(row.data(), out.data(), 300), 10);
  const uint8_t expect[10] = {255, 0x12, 0x34, 0x56, 0x78, 45, 0x12, 0x34, 0x56, 0x78};
  EXPECT_EQ(0, std::memcmp(out.data(), expect, 10));
  EXPECT_EQ(out[10], 0xEE);

  ASSERT_EQ(PMR_RLECompressRGBA64ToRGBA32(row.data(), out.data(), 1), 5);
  EXPECT_EQ(out[0], 1);

  const uint16_t samples[1] = {0xABCD};
  ASSERT_EQ(PMR_RLECompressG16ToG8(samples, out.data(), 1), 2);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 0xAB);
}

TEST_F(RunLength, EncodingComparesHighBytesOnly) {
  const uint16_t pixels[8] = {0x1201, 0x3402, 0x5603, 0x7804, 0x12FF, 0x34FE, 0x56FD, 0x78FC};
  uint8_t out[10];
  ASSERT_EQ(PMR_RLECompressRGBA64ToRGBA32(pixels, out, 2), 5);
  EXPECT_EQ(out[0], 2);
  const uint16_t samples[3] = {0x4000, 0x40FF, 0x4100};
  ASSERT_EQ(PMR_RLECompressG16ToG8(samples, out, 3), 4);
  const uint8_t expect[4] = {2, 0x40, 1, 0x41};
  EXPECT_EQ(0, std::memcmp(out, expect, 4));
}

TEST_F(RunLength, CountsBelowOneAndNullBuffersEncodeNothing) {
  const uint16_t pixel[4] = {1, 2, 3, 4};
  uint8_t out[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(PMR_RLECompressRGBA64ToRGBA32(pixel, out, 0), 0);
  EXPECT_EQ(PMR_RLECompressG16ToG8(pixel, out, -4), 0);
  EXPECT_EQ(PMR_RLECompressRGBA64ToRGBA32(nullptr, out, 1), 0);
  EXPECT_EQ(PMR_RLECompressG16ToG8(pixel, nullptr, 1), 0);
  EXPECT_EQ(out[0], 0xEE);
}

TEST_F(RunLength, DecodingWritesBytesTimes256AndStopsAtTheCount) {
  const uint8_t g8[2] = {3, 200};
  std::vector<uint16_t> samples(5, 7);
  PMR_RLEUncompressG8ToG16(g8, samples.data(), 3);
  EXPECT_EQ(samples, (std::vector<uint16_t>{51200, 51200, 51200, 7, 7}));

  // A run of 10 asked for 4 pixels writes 4.
  const uint8_t rgba[5] = {10, 1, 2, 3, 255};
  std::vector<uint16_t> pixels(6 * 4, 7);
  uint16_t* end = PMR_RLEUncompressRGBA32ToRGBA64(rgba, pixels.data(), 4);
  EXPECT_EQ(end, pixels.data() + 16);
  EXPECT_EQ(pixels[12], 256);
  EXPECT_EQ(pixels[15], 65280);
  EXPECT_EQ(pixels[16], 7);
  EXPECT_EQ(PMR_RLEUncompressRGBA32ToRGBA64(nullptr, pixels.data(), 4), pixels.data());
}

TEST_F(RunLength, RandomRowsRoundTripAndMatchTheModel) {
  // Rows with long runs, short runs and noise, including runs longer than 255.
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    const auto noise = palmora_test::RandomBytes(2000, seed);
    std::vector<uint16_t> row;
    for (std::size_t i = 0; row.size() < 700 * 4; ++i) {
      const int run = noise[i % noise.size()] % 4 == 0 ? 300 : noise[i % noise.size()] % 5 + 1;
      const uint16_t value =
          uint16_t(noise[(i * 7) % noise.size()] << 8 | noise[(i * 3) % noise.size()]);
      for (int r = 0; r < run && row.size() < 700 * 4; ++r)
        for (int c = 0; c < 4; ++c) row.push_back(uint16_t(value + c * 0x1100));
    }
    std::vector<uint8_t> stream(700 * 5);
    const int32_t bytes = PMR_RLECompressRGBA64ToRGBA32(row.data(), stream.data(), 700);
    stream.resize(std::size_t(bytes));
    EXPECT_EQ(stream, ModelEncodeRGBA(row)) << seed;

    std::vector<uint16_t> back(700 * 4);
    EXPECT_EQ(PMR_RLEUncompressRGBA32ToRGBA64Checked(stream.data(), back.data(), 700, bytes),
              bytes);
    for (std::size_t i = 0; i < row.size(); ++i)
      ASSERT_EQ(back[i], row[i] & 0xFF00) << seed << " " << i;
  }
}

TEST_F(RunLength, CheckedDecodersReadNothingPastTheStream) {
  // Two records covering 5 pixels; the copy on the heap is exactly as long as the stream, so a
  // read past it would be caught by the address sanitizer.
  const std::vector<uint8_t> stream = {3, 10, 20, 30, 40, 2, 50, 60, 70, 80};
  auto* exact = new uint8_t[stream.size()];
  std::memcpy(exact, stream.data(), stream.size());
  std::vector<uint16_t> pixels(8 * 4, 7);
  const auto untouched = pixels;
  EXPECT_EQ(PMR_RLEUncompressRGBA32ToRGBA64Checked(exact, pixels.data(), 6, 10),
            0);                                                                      // holds only 5
  EXPECT_EQ(PMR_RLEUncompressRGBA32ToRGBA64Checked(exact, pixels.data(), 5, 9), 0);  // cut record
  EXPECT_EQ(PMR_RLEUncompressRGBA32ToRGBA64Checked(exact, pixels.data(), 5, 0), 0);
  EXPECT_EQ(PMR_RLEUncompressRGBA32ToRGBA64Checked(nullptr, pixels.data(), 5, 10), 0);
  EXPECT_EQ(pixels, untouched);
  EXPECT_EQ(PMR_RLEUncompressRGBA32ToRGBA64Checked(exact, pixels.data(), 4, 10), 10);
  EXPECT_EQ(PMR_RLEUncompressRGBA32ToRGBA64Checked(exact, pixels.data(), 3, 10), 5);
  EXPECT_EQ(pixels[3 * 4], 50 * 256);
  EXPECT_EQ(pixels[4 * 4], 7);
  delete[] exact;

  // Records of count 0 are skipped over, never looped on past the end.
  const uint8_t zeros[6] = {0, 1, 0, 2, 2, 9};
  std::vector<uint16_t> samples(3, 7);
  EXPECT_EQ(PMR_RLEUncompressG8ToG16Checked(zeros, samples.data(), 3, 6), 0);
  EXPECT_EQ(samples, (std::vector<uint16_t>{7, 7, 7}));
  EXPECT_EQ(PMR_RLEUncompressG8ToG16Checked(zeros, samples.data(), 2, 6), 6);
  EXPECT_EQ(samples, (std::vector<uint16_t>{2304, 2304, 7}));
}

TEST_F(RunLength, LayerAndMaskLinesRoundTrip) {
  const int W = 300, H = 3;
  MakeCanvas(W, H, 3);
  palmora_test::PaintPattern(2, 5);
  auto layer = ReadLayer(2);
  for (int x = 0; x < 280; ++x)
    for (int c = 0; c < 4; ++c) layer[(W + x) * 4 + c] = layer[W * 4 + c];  // a long run in row 1
  WriteLayer(2, layer);
  std::vector<uint8_t> stream(W * 5);
  for (int row = 0; row < H; ++row) {
    const int32_t bytes = PMR_GetRGBA32LayerLineRLE(stream.data(), 2, row);
    ASSERT_GT(bytes, 0);
    if (row == 1) {
      EXPECT_LE(bytes, 5 * 22);
    }
    EXPECT_EQ(PMR_PutRGBA32LayerLineRLEChecked(stream.data(), 3, row, bytes), bytes);
  }
  auto expected = layer;
  for (auto& v : expected) v &= 0xFF00;
  EXPECT_EQ(ReadLayer(3), expected);

  uint16_t* mask = State().maskPlane;
  for (int i = 0; i < W * H; ++i) mask[i] = uint16_t(i < 400 ? 0xFFFF : (i * 37) & 0xFFFF);
  std::vector<uint16_t> maskBefore(mask, mask + W * H);
  std::vector<uint8_t> lines[H];
  for (int row = 0; row < H; ++row) {
    lines[row].resize(W * 2);
    lines[row].resize(std::size_t(PMR_GetMaskLineRLE(lines[row].data(), row)));
  }
  std::memset(mask, 0, W * H * 2);
  for (int row = 0; row < H; ++row) {
    if (row == 0) {
      EXPECT_EQ(PMR_PutMaskLineRLE(lines[row].data(), row), 1);
    } else {
      EXPECT_EQ(PMR_PutMaskLineRLEChecked(lines[row].data(), row, int32_t(lines[row].size())),
                int32_t(lines[row].size()));
    }
  }
  for (int i = 0; i < W * H; ++i) ASSERT_EQ(mask[i], maskBefore[i] & 0xFF00) << i;

  std::vector<uint16_t> copy(W * H);
  ASSERT_EQ(PMR_GetMaskData16(copy.data()), 1);
  for (auto& v : copy) v = uint16_t(~v);
  ASSERT_EQ(PMR_SetMaskData16(copy.data()), 1);
  EXPECT_EQ(std::vector<uint16_t>(mask, mask + W * H), copy);
}

TEST_F(RunLength, LineRefusalsChangeNothing) {
  MakeCanvas(8, 2);
  palmora_test::PaintPattern(2, 1);
  std::vector<uint8_t> stream(8 * 5, 1);  // records of 1 pixel
  const uint64_t before = EngineChecksum();
  EXPECT_EQ(PMR_GetRGBA32LayerLineRLE(stream.data(), 2, 2), 0);  // row past the canvas
  EXPECT_EQ(PMR_GetRGBA32LayerLineRLE(stream.data(), 2, -1), 0);
  EXPECT_EQ(PMR_GetRGBA32LayerLineRLE(stream.data(), 64, 0), 0);
  EXPECT_EQ(PMR_GetRGBA32LayerLineRLE(nullptr, 2, 0), 0);
  EXPECT_EQ(PMR_PutRGBA32LayerLineRLE(stream.data(), 2, 2), 0);
  EXPECT_EQ(PMR_PutRGBA32LayerLineRLE(stream.data(), 9, 0), 0);
  EXPECT_EQ(PMR_PutRGBA32LayerLineRLEChecked(stream.data(), 2, 0, 39), 0);  // 7 whole records
  EXPECT_EQ(PMR_PutMaskLineRLE(stream.data(), 5), 0);
  EXPECT_EQ(PMR_PutMaskLineRLEChecked(stream.data(), 0, 15), 0);  // 7 whole records
  EXPECT_EQ(PMR_SetMaskData16(nullptr), 0);
  EXPECT_EQ(EngineChecksum(), before);
  PMR_DeleteImage();
  EXPECT_EQ(PMR_GetMaskLineRLE(stream.data(), 0), 0);  // no mask plane
  EXPECT_EQ(PMR_GetMaskData16(stream.data()), 0);
}

}  // namespace
