// Compressed layer blobs: a layer of 8-bit content survives the trip exactly, including the colour
// of transparent pixels and the alpha of locked layers; bad blobs and memory failures leave the
// layer as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/zlib_buffers.h"
#include "support/engine_fixture.h"
#include "support/transfer_support.h"

namespace {

using engine::State;
using palmora_test::EngineChecksum;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

using LayerBlob = palmora_test::EngineTest;

constexpr int W = 41, H = 17;

struct HostBlob {
  uint8_t* data = nullptr;
  uint32_t size = 0;
  ~HostBlob() { PMR_Free(data); }
};

// A layer of 8-bit content (low bytes 0) with transparent pixels that carry colour.
std::vector<uint16_t> EightBitLayer(uint32_t seed) {
  const auto bytes = palmora_test::RandomBytes(W * H * 4, seed);
  std::vector<uint16_t> pixels(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) pixels[i] = uint16_t(bytes[i] << 8);
  for (std::size_t p = 0; p < pixels.size() / 4; p += 3) pixels[p * 4 + 3] = 0;
  return pixels;
}

TEST_F(LayerBlob, EightBitContentRoundTripsExactly) {
  MakeCanvas(W, H, 3);
  const auto pixels = EightBitLayer(1);
  WriteLayer(2, pixels);
  HostBlob blob;
  const int32_t size = PMR_GetRGBA32LayerCompressed(&blob.data, 0, &blob.size, 2, 6);
  ASSERT_GT(size, 0);
  EXPECT_EQ(uint32_t(size), blob.size);

  PMR_SetLayerOptions(3, 1, 1, 100, "Normal");  // locked: a restore still brings the alpha back
  ASSERT_EQ(PMR_LoadRGBA32LayerCompressed(blob.data, 0, size, 3), 1);
  EXPECT_EQ(ReadLayer(3), pixels);
}

TEST_F(LayerBlob, SixteenBitContentKeepsItsHighBytes) {
  MakeCanvas(W, H, 3);
  palmora_test::PaintPattern(2, 8);
  HostBlob blob;
  ASSERT_GT(PMR_GetRGBA32LayerCompressed(&blob.data, 0, &blob.size, 2, 1), 0);
  ASSERT_EQ(PMR_LoadRGBA32LayerCompressed(blob.data, 0, int32_t(blob.size), 3), 1);
  auto expected = ReadLayer(2);
  for (auto& v : expected) v &= 0xFF00;
  EXPECT_EQ(ReadLayer(3), expected);
}

TEST_F(LayerBlob, BadBlobsAndLayersAreRefused) {
  MakeCanvas(W, H, 3);
  WriteLayer(2, EightBitLayer(2));
  palmora_test::PaintPattern(3, 4);
  HostBlob blob;
  ASSERT_GT(PMR_GetRGBA32LayerCompressed(&blob.data, 0, &blob.size, 2, 6), 0);
  const uint64_t before = EngineChecksum();
  EXPECT_EQ(PMR_LoadRGBA32LayerCompressed(blob.data, 0, int32_t(blob.size) - 4, 3),
            0);  // truncated
  EXPECT_EQ(PMR_LoadRGBA32LayerCompressed(blob.data, 0, 0, 3), 0);
  EXPECT_EQ(PMR_LoadRGBA32LayerCompressed(nullptr, 0, int32_t(blob.size), 3), 0);
  EXPECT_EQ(PMR_LoadRGBA32LayerCompressed(blob.data, 0, int32_t(blob.size), 64), 0);
  EXPECT_EQ(PMR_LoadRGBA32LayerCompressed(blob.data, 0, int32_t(blob.size), 7), 0);
  std::vector<uint8_t> damaged(blob.data, blob.data + blob.size);
  damaged[damaged.size() / 2] ^= 0x10;
  EXPECT_EQ(PMR_LoadRGBA32LayerCompressed(damaged.data(), 0, int32_t(damaged.size()), 3), 0);
  // A blob of a smaller picture does not hold this layer's bytes; neither does a larger one.
  for (int rows : {H - 1, H + 1}) {
    const std::vector<uint8_t> rgba(std::size_t(W) * rows * 4, 3);
    HostBlob other;
    ASSERT_GT(
        imaging::IS3ZDeflateBuffer(rgba.data(), uint32_t(rgba.size()), &other.data, &other.size, 6),
        0);
    EXPECT_EQ(PMR_LoadRGBA32LayerCompressed(other.data, 0, int32_t(other.size), 3), 0) << rows;
  }
  EXPECT_EQ(EngineChecksum(), before);
  // A layer that is not of the canvas size has no canvas-sized blob to give.
  ASSERT_EQ(PMR_CreateLayer(9, W, H - 1), 1);
  HostBlob none;
  EXPECT_EQ(PMR_GetRGBA32LayerCompressed(&none.data, 0, &none.size, 9, 6), 0);
  EXPECT_EQ(none.data, nullptr);
}

TEST_F(LayerBlob, MemoryFailuresReportAndChangeNothing) {
  MakeCanvas(W, H, 3);
  palmora_test::PaintPattern(3, 4);
  HostBlob blob;
  ASSERT_GT(PMR_GetRGBA32LayerCompressed(&blob.data, 0, &blob.size, 3, 6), 0);
  const uint64_t before = EngineChecksum();
  engine::SetAllocationCeilingForTesting(W * 4);  // no room for a packed layer
  HostBlob none;
  EXPECT_EQ(PMR_GetRGBA32LayerCompressed(&none.data, 0, &none.size, 3, 6), 0);
  EXPECT_STREQ(PMR_GetLastError(), "GetRGBA32Layer Excpt");
  EXPECT_EQ(none.data, nullptr);
  EXPECT_EQ(PMR_LoadRGBA32LayerCompressed(blob.data, 0, int32_t(blob.size), 2), 0);
  EXPECT_STREQ(PMR_GetLastError(), "LoadRGBA32LayerCompressed Excpt");
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_EQ(EngineChecksum(), before);
}

}  // namespace
