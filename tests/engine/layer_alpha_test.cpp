#include <gtest/gtest.h>

#include <vector>

#include "engine/engine_state.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

using LayerAlpha = EngineTest;

TEST_F(LayerAlpha, InvertSetAndNormalize) {
  MakeCanvas(2, 1, 2, 2);
  WriteLayer(2, {1, 2, 3, 1000, 4, 5, 6, 65535});
  PMR_InvertAlpha(2);
  EXPECT_EQ(ReadLayer(2), (std::vector<uint16_t>{1, 2, 3, 64535, 4, 5, 6, 0}));
  PMR_SetLayerAlpha(2, 0x12345);  // the low 16 bits
  EXPECT_EQ(ReadLayer(2)[3], 0x2345);

  WriteLayer(2, {9, 9, 9, 65535, 9, 9, 9, 301});
  PMR_SetLayerOptions(2, 1, 0, 50, "Normal");
  PMR_NormalizeLayerAlpha(2);
  EXPECT_EQ(ReadLayer(2), (std::vector<uint16_t>{9, 9, 9, 32767, 9, 9, 9, 150}));
  EXPECT_EQ(State().layers[2].opacity, 256);

  PMR_SetLayerOptions(2, 1, 0, 50, "Alpha Normal");
  PMR_NormalizeLayerAlpha(2);
  EXPECT_EQ(ReadLayer(2)[3], 32767);
  EXPECT_EQ(State().layers[2].opacity, 128);
}

TEST_F(LayerAlpha, SetColorAlphaTurnsNearlyTransparentPixelsIntoOneClearColour) {
  MakeCanvas(3, 1, 2, 2);
  WriteLayer(2, {1, 2, 3, 255, 4, 5, 6, 256, 7, 8, 9, 0});
  PMR_SetColorAlpha(10, 20, 255);
  EXPECT_EQ(ReadLayer(2),
            (std::vector<uint16_t>{2570, 5140, 65535, 0, 4, 5, 6, 256, 2570, 5140, 65535, 0}));
}

TEST_F(LayerAlpha, BlobPullsChannelsTowardsMidGreyByTheirMean) {
  MakeCanvas(4, 1, 2, 2);
  // Values worked by hand from v - v(m - 32767)/65534 above mid-grey and
  // v + (65535 - v)(32767 - m)/65534 below it, truncated; alpha m * 0.843 + 10239 when above 8191.
  WriteLayer(2, {40000, 40000, 40000, 65535, 10000, 10000, 10000, 8192, 60000, 30000, 3000, 8191,
                 500, 500, 500, 0});
  PMR_CreateBlobFromImage(2, 1);
  EXPECT_EQ(ReadLayer(2),
            (std::vector<uint16_t>{35585, 35585, 35585, 43959, 29293, 29293, 29293, 18669, 60149,
                                   30958, 4686, 8191, 32521, 32521, 32521, 0}));
  WriteLayer(2, {40000, 1, 2, 9000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  PMR_CreateBlobFromImage(2, 0);
  const auto flat = ReadLayer(2);
  EXPECT_EQ(flat[0], 32767);
  EXPECT_EQ(flat[2], 32767);
  EXPECT_EQ(flat[3], int(13334 * 0.843 + 10239));
}

TEST_F(LayerAlpha, HostBufferOperations) {
  MakeCanvas(2, 2, 1, 1);
  std::vector<uint8_t> buffer = {10, 20, 30, 0, 10, 20, 30, 200, 1, 2, 3, 255, 9, 9, 9, 40};
  PMR_InvertAlpha_RGBA32(buffer.data());
  EXPECT_EQ(buffer[3], 255);
  EXPECT_EQ(buffer[15], 215);
  PMR_SetAlphaFromRGBAImageColor(buffer.data(), 10, 20, 30);
  EXPECT_EQ(buffer[3], 0);
  EXPECT_EQ(buffer[7], 0);
  EXPECT_EQ(buffer[11], 0);  // 255 inverted
  buffer[11] = 7;
  PMR_SetColorAlphaRGBABuf(buffer.data(), 2, 2, 100, 101, 102);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 12),
            (std::vector<uint8_t>{100, 101, 102, 0, 100, 101, 102, 0, 1, 2, 3, 7}));
  PMR_SetColorRGBABuf(buffer.data(), 1, 2, 5, 6, 7);  // only the first two pixels
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 12),
            (std::vector<uint8_t>{5, 6, 7, 0, 5, 6, 7, 0, 1, 2, 3, 7}));
  PMR_SetColorRGBABuf(buffer.data(), -1, 5, 0, 0, 0);
  PMR_SetColorRGBABuf(nullptr, 2, 2, 0, 0, 0);
  PMR_InvertAlpha_RGBA32(nullptr);
  EXPECT_EQ(buffer[0], 5);
}

}  // namespace
