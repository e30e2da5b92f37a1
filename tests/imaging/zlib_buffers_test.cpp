// zlib blobs: what the deflate side hands back, that any zlib reader opens it, and that the
// inflate side refuses damaged or oversized blobs without touching its destination.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/zlib_buffers.h"
#include "support/transfer_support.h"

namespace {

struct Blob {
  uint8_t* data = nullptr;
  uint32_t size = 0;
  ~Blob() { std::free(data); }
};

std::vector<uint8_t> Content() {
  auto bytes = palmora_test::RandomBytes(100000, 3);
  for (std::size_t i = 0; i < 60000; ++i) bytes[i] = uint8_t(i / 1000);  // compressible part
  return bytes;
}

TEST(ZlibBuffers, DeflateHandsBackAStandardStreamAndItsSize) {
  const auto content = Content();
  Blob blob;
  const int32_t result = imaging::IS3ZDeflateBuffer(content.data(), uint32_t(content.size()),
                                                    &blob.data, &blob.size, 6);
  ASSERT_GT(result, 0);
  EXPECT_EQ(uint32_t(result), blob.size);
  EXPECT_LT(blob.size, content.size());
  // Any zlib reader opens it.
  std::vector<uint8_t> back(content.size());
  uLongf backSize = back.size();
  ASSERT_EQ(uncompress(back.data(), &backSize, blob.data, blob.size), Z_OK);
  EXPECT_EQ(backSize, content.size());
  EXPECT_EQ(back, content);
}

TEST(ZlibBuffers, EveryLevelRoundTrips) {
  const auto content = Content();
  for (int level = -1; level <= 9; ++level) {
    Blob blob;
    ASSERT_GT(imaging::IS3ZDeflateBuffer(content.data(), uint32_t(content.size()), &blob.data,
                                         &blob.size, level),
              0)
        << level;
    std::vector<uint8_t> back(content.size() + 10, 0xEE);
    EXPECT_EQ(
        imaging::IS3ZInflateBuffer(blob.data, blob.size, back.data(), uint32_t(back.size()), 0),
        int32_t(content.size()))
        << level;
    EXPECT_EQ(0, std::memcmp(back.data(), content.data(), content.size()));
    EXPECT_EQ(back[content.size()], 0xEE);
  }
}

TEST(ZlibBuffers, BadArgumentsWriteNothing) {
  const auto content = Content();
  uint8_t* out = reinterpret_cast<uint8_t*>(0x1);
  uint32_t size = 77;
  EXPECT_EQ(imaging::IS3ZDeflateBuffer(content.data(), 10, &out, &size, 10), 0);
  EXPECT_EQ(imaging::IS3ZDeflateBuffer(content.data(), 10, &out, &size, -2), 0);
  EXPECT_EQ(imaging::IS3ZDeflateBuffer(nullptr, 10, &out, &size, 1), 0);
  EXPECT_EQ(imaging::IS3ZDeflateBuffer(content.data(), 10, nullptr, &size, 1), 0);
  EXPECT_EQ(imaging::IS3ZDeflateBuffer(content.data(), 10, &out, nullptr, 1), 0);
  EXPECT_EQ(out, reinterpret_cast<uint8_t*>(0x1));
  EXPECT_EQ(size, 77u);
}

TEST(ZlibBuffers, InflateRefusesDamagedTruncatedAndOversizedBlobs) {
  const auto content = Content();
  Blob blob;
  ASSERT_GT(imaging::IS3ZDeflateBuffer(content.data(), uint32_t(content.size()), &blob.data,
                                       &blob.size, 9),
            0);
  std::vector<uint8_t> dst(content.size(), 0xEE);
  const auto untouched = dst;
  // Cut anywhere, the stream is incomplete.
  for (uint32_t cut : {1u, 2u, 100u, blob.size / 2, blob.size - 1}) {
    EXPECT_EQ(imaging::IS3ZInflateBuffer(blob.data, cut, dst.data(), uint32_t(dst.size()), 0), 0)
        << cut;
  }
  // One flipped byte in the data or the checksum.
  std::vector<uint8_t> damaged(blob.data, blob.data + blob.size);
  damaged[damaged.size() - 1] ^= 0x01;
  EXPECT_EQ(imaging::IS3ZInflateBuffer(damaged.data(), uint32_t(damaged.size()), dst.data(),
                                       uint32_t(dst.size()), 0),
            0);
  damaged = std::vector<uint8_t>(blob.data, blob.data + blob.size);
  damaged[damaged.size() / 2] ^= 0x40;
  EXPECT_EQ(imaging::IS3ZInflateBuffer(damaged.data(), uint32_t(damaged.size()), dst.data(),
                                       uint32_t(dst.size()), 0),
            0);
  // Content one byte larger than the destination.
  EXPECT_EQ(
      imaging::IS3ZInflateBuffer(blob.data, blob.size, dst.data(), uint32_t(dst.size() - 1), 0), 0);
  // Not zlib at all.
  const auto noise = palmora_test::RandomBytes(500, 9);
  EXPECT_EQ(imaging::IS3ZInflateBuffer(noise.data(), 500, dst.data(), uint32_t(dst.size()), 0), 0);
  EXPECT_EQ(imaging::IS3ZInflateBuffer(nullptr, 5, dst.data(), uint32_t(dst.size()), 0), 0);
  EXPECT_EQ(dst, untouched);
}

}  // namespace
