// Reading a picture straight into a caller's buffer: the same pixels as the reader that hands back
// a block of its own, and on every failure the buffer untouched, whichever way the codec took.
#include <gtest/gtest.h>

#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "imaging/picture_test_support.h"

namespace {

using namespace picture_test;

// A baseline JPEG written by libjpeg itself, with a restart marker after every MCU row when asked.
std::vector<uint8_t> JpegBytes(uint32_t w, uint32_t h, unsigned restartRows, bool progressive) {
  const auto pixels = RandomPixels(w, h, 3, 5);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = w, c.image_height = h, c.input_components = 3, c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  c.restart_in_rows = int(restartRows);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < h) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + std::size_t{c.next_scanline} * w * 3);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> bytes(out, out + size);
  std::free(out);
  return bytes;
}

// The block reader's answer for the same bytes: the pixels in that format, or empty on failure.
std::vector<uint8_t> ByBlock(const std::vector<uint8_t>& bytes, uint32_t w, uint32_t h,
                             uint32_t format) {
  imaging::ISSource source = imaging::IS40_OpenMemorySource(bytes.data(), uint32_t(bytes.size()));
  uint32_t bw = 0, bh = 0;
  uint8_t* block = imaging::IS40_ReadImage(source, &bw, &bh, format, 0);
  imaging::IS40_CloseSource(source);
  std::vector<uint8_t> pixels;
  if (block && bw == w && bh == h)
    pixels.assign(block, block + std::size_t{w} * h * (format ? 4 : 3));
  std::free(block);
  return pixels;
}

// Reads into a buffer first filled with a marker byte; checks the result against the block reader.
void ExpectSameAsBlockReader(const std::vector<uint8_t>& bytes, uint32_t w, uint32_t h) {
  for (uint32_t format : {imaging::kReadFormatRGB24, imaging::kReadFormatRGBA32}) {
    SCOPED_TRACE(format);
    const std::vector<uint8_t> expected = ByBlock(bytes, w, h, format);
    std::vector<uint8_t> dst(std::size_t{w} * h * (format ? 4 : 3), 0xAB);
    imaging::ISSource source = imaging::IS40_OpenMemorySource(bytes.data(), uint32_t(bytes.size()));
    const int32_t read = imaging::IS40_ReadImageInto(source, dst.data(), w, h, format);
    imaging::IS40_CloseSource(source);
    if (expected.empty()) {
      EXPECT_EQ(read, 0);
      EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](uint8_t v) { return v == 0xAB; }));
    } else {
      EXPECT_EQ(read, 1);
      EXPECT_EQ(dst, expected);
    }
  }
}

TEST(ReadImageInto, JpegsOfEveryLayoutMatchTheBlockReader) {
  ExpectSameAsBlockReader(JpegBytes(67, 45, 0, false), 67, 45);
  ExpectSameAsBlockReader(JpegBytes(67, 45, 1, false), 67, 45);  // restart markers in the data
  ExpectSameAsBlockReader(JpegBytes(67, 45, 0, true), 67, 45);   // progressive: many scans
  // Other formats go through the block reader.
  const auto png = ScratchPath("into.png");
  const auto rgba = RandomPixels(9, 7, 4, 3);
  ASSERT_TRUE(WriteFile(png, [&](imaging::ISDest d) {
    return imaging::IS3WritePNG(d, rgba.data(), 9, 7, 36, 8, 0, nullptr, 6, 0, nullptr, 0);
  }));
  ExpectSameAsBlockReader(FileBytes(png), 9, 7);
}

TEST(ReadImageInto, DamagedJpegsLeaveTheBufferUntouchedWhenTheyFail) {
  const auto good = JpegBytes(64, 48, 0, false);
  // Cut inside the entropy data: the decode would run out of data after writing rows.
  for (std::size_t keep : {good.size() / 2, good.size() - 2, good.size() - 1}) {
    ExpectSameAsBlockReader(std::vector<uint8_t>(good.begin(), good.begin() + long(keep)), 64, 48);
  }
  // Bytes flipped inside the entropy data: the decoder warns and goes on, both readers alike.
  auto flipped = good;
  for (std::size_t i = flipped.size() / 2; i < flipped.size() / 2 + 40; ++i) flipped[i] ^= 0x5A;
  ExpectSameAsBlockReader(flipped, 64, 48);
  // A second frame header after the scan, before the end marker: libjpeg fails there, late.
  auto twoFrames = good;
  const std::vector<uint8_t> sof = {0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x30,
                                    0x00, 0x40, 0x01, 0x01, 0x11, 0x00};
  twoFrames.insert(twoFrames.end() - 2, sof.begin(), sof.end());
  ExpectSameAsBlockReader(twoFrames, 64, 48);
  // The wrong size, either way round.
  std::vector<uint8_t> dst(65 * 48 * 4, 0xAB);
  imaging::ISSource source = imaging::IS40_OpenMemorySource(good.data(), uint32_t(good.size()));
  EXPECT_EQ(imaging::IS40_ReadImageInto(source, dst.data(), 65, 48, imaging::kReadFormatRGBA32), 0);
  EXPECT_EQ(imaging::IS40_ReadImageInto(source, dst.data(), 64, 47, imaging::kReadFormatRGBA32), 0);
  EXPECT_EQ(imaging::IS40_ReadImageInto(source, nullptr, 64, 48, imaging::kReadFormatRGBA32), 0);
  imaging::IS40_CloseSource(source);
  EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](uint8_t v) { return v == 0xAB; }));
}

}  // namespace
