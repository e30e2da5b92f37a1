// Large transfers stream their stores past the cache and split rows across threads; both must give
// the same bytes as the plain serial path. Each transfer runs here both ways, on an odd canvas
// width and host buffers that start off any 16-byte boundary.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <new>
#include <vector>

#include "engine/parallel_rows.h"
#include "engine/store_policy.h"
#include "support/engine_fixture.h"
#include "support/transfer_support.h"

namespace {

using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

class TransferPaths : public palmora_test::EngineTest {
 protected:
  void TearDown() override {
    engine::SetStoresForTesting(0);
    engine::SetRowBandThreadsForTesting(0);
    EngineTest::TearDown();
  }

  static constexpr int W = 45, H = 11;

  // Runs `transfer` on a fresh copy of the start state, serially with cached stores and then on
  // three threads with streaming stores, and compares the layer and the host buffer afterwards.
  void ExpectSameBothWays(const std::function<void(uint8_t* host)>& transfer, int offset) {
    SCOPED_TRACE(::testing::Message() << "host offset " << offset);
    const auto layer = ReadLayer(2);
    const auto host = palmora_test::RandomBytes(W * H * 8 + 64, 77);
    std::vector<uint8_t> results[2];
    std::vector<uint16_t> layers[2];
    for (int way = 0; way < 2; ++way) {
      engine::SetStoresForTesting(way == 0 ? -1 : 1);
      engine::SetRowBandThreadsForTesting(way == 0 ? 1 : 3);
      WriteLayer(2, layer);
      results[way] = host;
      transfer(results[way].data() + offset);
      layers[way] = ReadLayer(2);
    }
    EXPECT_EQ(results[0], results[1]);
    EXPECT_EQ(layers[0], layers[1]);
  }
};

TEST_F(TransferPaths, StreamingAndThreadedTransfersMatchTheSerialPath) {
  MakeCanvas(W, H);
  palmora_test::PaintPattern(2, 12);
  auto layer = ReadLayer(2);
  for (std::size_t p = 0; p < layer.size() / 4; p += 3) layer[p * 4 + 3] = 0;
  WriteLayer(2, layer);
  for (int offset : {0, 1, 2, 6, 8}) {
    ExpectSameBothWays([](uint8_t* h) { PMR_GetRGBA32Layer(h, W * 4 + 3, 2); }, offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_GetRGB24Layer(h, W * 3 + 1, 2); }, offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_GetRGB24FromAlpha(h, W * 3); }, offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_GetRGBA64Layer(h, W * 8, 2); }, offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_SetRGBA64Layer(h, W * 8 + 2, 2); }, offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_GetRGBA64LayerRect(h, W * 8, 2, 3, 1, W - 5, H - 2); },
                       offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_LoadRGBA32Layer(h, W * 4, 2, 0, 0, W, H, 0); }, offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_LoadRGBA32Layer(h, W * 4 + 4, 2, -3, 1, W, H, 0); },
                       offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_LoadRGB24(h, W * 3, 0); }, offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_LoadRGB24ToAlpha(h, W * 3 + 2, 0); }, offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_Load(h, W * 3, W, H); }, offset);
    ExpectSameBothWays([](uint8_t* h) { PMR_Clear(1, 2, 3, 4); }, offset);
  }
  // The host-buffer converters, with a 16-bit source that is itself off a 16-byte boundary.
  std::vector<uint16_t> plane(W * H * 4 + 8);
  const auto noise = palmora_test::RandomBytes(plane.size() * 2, 5);
  std::memcpy(plane.data(), noise.data(), noise.size());
  for (int offset : {0, 3}) {
    ExpectSameBothWays(
        [&](uint8_t* h) { PMR_GetRGBA32FromRGBA64(h, W * 4, W, H, plane.data() + 1, W * 8); },
        offset);
    ExpectSameBothWays(
        [&](uint8_t* h) { PMR_RGBA64RectToRGBA32(plane.data() + 1, 3, 2, W - 7, H - 3, W, 0, h); },
        offset);
    ExpectSameBothWays(
        [&](uint8_t* h) { PMR_RGBA64RectToRGBA24(plane.data() + 1, 5, 1, W - 5, H - 2, W, 0, h); },
        offset);
  }
  PMR_SetLayerOptions(2, 1, 1, 100, "Normal");
  for (int offset : {0, 5}) {
    ExpectSameBothWays([](uint8_t* h) { PMR_LoadRGBA32Layer(h, W * 4, 2, 0, 0, W, H, 0); }, offset);
  }
}

TEST_F(TransferPaths, LockedPlainLoadKeepsEveryAlphaSample) {
  // The vector path keeps alpha by masking whole registers; check it against the samples.
  MakeCanvas(W, H);
  palmora_test::PaintPattern(2, 31);
  const auto before = ReadLayer(2);
  PMR_SetLayerOptions(2, 1, 1, 100, "Normal");
  const auto src = palmora_test::RandomBytes(W * H * 4, 32);
  engine::SetStoresForTesting(1);
  ASSERT_EQ(PMR_LoadRGBA32Layer(src.data(), W * 4, 2, 0, 0, W, H, 0), 1);
  const auto after = ReadLayer(2);
  for (std::size_t p = 0; p < after.size() / 4; ++p) {
    for (int c = 0; c < 3; ++c) ASSERT_EQ(after[p * 4 + c], src[p * 4 + c] * 256) << p;
    ASSERT_EQ(after[p * 4 + 3], before[p * 4 + 3]) << p;
  }
}

}  // namespace
