// Fills: plain fills of the current layer and host buffers, the masked fill with its mixing rule
// (each channel (((R*(65535-M)) >> 8) + ((v*256*M) >> 8)) >> 8, alpha opaque), and the masked
// alpha fill, which behaves as a load of a one-colour picture through the mask.
#include <gtest/gtest.h>

#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "support/engine_fixture.h"
#include "support/transfer_support.h"

namespace {

using engine::State;
using palmora_test::EngineChecksum;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

using LayerFills = palmora_test::EngineTest;

TEST_F(LayerFills, ClearFillsEveryPixelWithBytesTimes256) {
  MakeCanvas(5, 3);
  ASSERT_EQ(PMR_Clear(1, 128, 255, 0x1FF), 1);  // only the low byte of each argument counts
  const auto p = ReadLayer(2);
  for (std::size_t i = 0; i < 15; ++i) {
    EXPECT_EQ(p[i * 4 + 0], 256);
    EXPECT_EQ(p[i * 4 + 1], 32768);
    EXPECT_EQ(p[i * 4 + 2], 65280);
    EXPECT_EQ(p[i * 4 + 3], 65280);
  }
}

TEST_F(LayerFills, MaskedClearMixesByTheMaskSample) {
  MakeCanvas(4, 1);
  WriteLayer(2, {1000, 2000, 3000, 4000, 1000, 2000, 3000, 4000, 1000, 2000, 3000, 4000, 1000, 2000,
                 3000, 4000});
  const uint16_t mask[4] = {65535, 0, 32768, 1};
  std::copy(mask, mask + 4, State().maskPlane);
  ASSERT_EQ(PMR_ClearMasked(200, 100, 0, 50), 1);
  const auto p = ReadLayer(2);
  EXPECT_EQ(std::vector<uint16_t>(p.begin(), p.begin() + 8),
            (std::vector<uint16_t>{51200, 25600, 0, 12800, 1000, 2000, 3000, 4000}));
  // M = 32768: red ((1000*32767 >> 8) + (51200*32768 >> 8)) >> 8 = (127996 + 6553600) >> 8 = 26099.
  EXPECT_EQ(p[8], 26099);
  // green ((2000*32767 >> 8) + (25600*32768 >> 8)) >> 8 = (255992 + 3276800) >> 8 = 13799.
  EXPECT_EQ(p[9], 13799);
  // blue (3000*32767 >> 8) >> 8 = 383988 >> 8 = 1499; alpha becomes opaque.
  EXPECT_EQ(p[10], 1499);
  EXPECT_EQ(p[11], 65535);
  // M = 1: red ((1000*65534 >> 8) + (51200 >> 8)) >> 8 = (255992 + 200) >> 8 = 1000.
  EXPECT_EQ(p[12], 1000);
  EXPECT_EQ(p[15], 65535);

  State().maskEnabled = 0;
  ASSERT_EQ(PMR_ClearMasked(1, 2, 3, 4), 1);
  EXPECT_EQ(ReadLayer(2)[4], 256);
}

TEST_F(LayerFills, MaskedAlphaClearLoadsTheColourThroughTheMask) {
  MakeCanvas(3, 1);
  WriteLayer(2, {1000, 2000, 3000, 4000, 1000, 2000, 3000, 0, 5, 6, 7, 8});
  const uint16_t mask[3] = {0x8000, 0x8000, 0x00FF};
  std::copy(mask, mask + 3, State().maskPlane);
  ASSERT_EQ(PMR_ClearMaskedAlpha(200, 100, 0, 60), 1);
  const auto p = ReadLayer(2);
  // m = 128: h = (129 * 65535) >> 8 = 33023. Red (200*33023 + (1000*32512 >> 8)) >> 8 = 26295.
  EXPECT_EQ(p[0], 26295);
  // Alpha (60*33023 + (4000*32512 >> 8)) >> 8 = (1981380 + 508000) >> 8 = 9724.
  EXPECT_EQ(p[3], 9724);
  // A transparent layer pixel takes the colour whole and alpha (60*256*33023) >> 16 = 7739.
  EXPECT_EQ(p[4], 51200);
  EXPECT_EQ(p[7], 7739);
  // A mask high byte of 0 leaves the pixel.
  EXPECT_EQ(p[8], 5);
  EXPECT_EQ(p[11], 8);

  State().maskEnabled = 0;  // without the mask it is a plain clear
  ASSERT_EQ(PMR_ClearMaskedAlpha(1, 1, 1, 0), 1);
  EXPECT_EQ(ReadLayer(2),
            (std::vector<uint16_t>{256, 256, 256, 0, 256, 256, 256, 0, 256, 256, 256, 0}));
}

TEST_F(LayerFills, HostBufferFillsStayInsideTheirRows) {
  MakeCanvas(3, 2);
  std::vector<uint16_t> wide(2 * 14, 7);  // rows of 28 bytes: 3 pixels and 4 bytes of padding
  ASSERT_EQ(PMR_ClearRGBA64(wide.data(), 28, 0x1234, 0x5678, 0x9ABC, 0xDEF0), 1);
  EXPECT_EQ(wide[0], 0x1234);
  EXPECT_EQ(wide[11], 0xDEF0);
  EXPECT_EQ(wide[12], 7);
  EXPECT_EQ(wide[14], 0x1234);
  std::vector<uint8_t> narrow(2 * 14, 7);
  ASSERT_EQ(PMR_ClearRGBA32(narrow.data(), 14, 1, 2, 3, 4), 1);
  EXPECT_EQ(narrow[11], 4);
  EXPECT_EQ(narrow[12], 7);
  EXPECT_EQ(narrow[14], 1);
  std::vector<uint8_t> packed(2 * 3 * 4 + 1, 7);
  ASSERT_EQ(PMR_ClearRGBA32Buf(packed.data(), 2, 3, 9, 8, 7, 6), 1);
  EXPECT_EQ(packed[23], 6);
  EXPECT_EQ(packed[24], 7);

  EXPECT_EQ(PMR_ClearRGBA64(wide.data(), 23, 0, 0, 0, 0), 0);
  EXPECT_EQ(PMR_ClearRGBA32(nullptr, 12, 0, 0, 0, 0), 0);
  EXPECT_EQ(PMR_ClearRGBA32Buf(packed.data(), -1, 3, 0, 0, 0, 0), 0);
  EXPECT_EQ(packed[0], 9);
}

TEST_F(LayerFills, FillsWithoutACurrentLayerChangeNothing) {
  MakeCanvas(3, 2);
  palmora_test::PaintPattern(2, 3);
  State().currentLayer = nullptr;
  const uint64_t before = EngineChecksum();
  EXPECT_EQ(PMR_Clear(1, 2, 3, 4), 0);
  EXPECT_EQ(PMR_ClearMasked(1, 2, 3, 4), 0);
  EXPECT_EQ(PMR_ClearMaskedAlpha(1, 2, 3, 4), 0);
  EXPECT_EQ(EngineChecksum(), before);
}

}  // namespace
