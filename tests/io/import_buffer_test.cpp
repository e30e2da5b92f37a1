// The import buffer: any picture file read at its own size, kept across canvases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/heap.h"
#include "imaging/picture_test_support.h"
#include "support/engine_fixture.h"

namespace {

using namespace picture_test;
using palmora_test::EngineTest;
using ImportBuffer = EngineTest;

TEST_F(ImportBuffer, ReadsAPictureOfAnySizeAndKeepsItPastTheCanvas) {
  const int32_t w = 23, h = 7;
  const auto rgba = RandomPixels(w, h, 4, 5);
  const auto path = ScratchPath("import.png");
  ASSERT_EQ(PMR_WriteToFileRGBA32(rgba.data(), w, h, path.c_str(), ".png", 72), 1);
  MakeCanvas(4, 4);
  ASSERT_EQ(PMR_ReadFromFile(path.c_str()), 1);
  PMR_DeleteImage();
  EXPECT_EQ(PMR_GetNewRGBAWidth(), w);
  EXPECT_EQ(PMR_GetNewRGBAHeight(), h);
  std::vector<uint8_t> back(rgba.size());
  PMR_GetNewRGBA32(back.data());
  EXPECT_EQ(back, rgba);
  EXPECT_EQ(PMR_DeleteNewRGBA(), 1);
  EXPECT_EQ(PMR_GetNewRGBAWidth(), 0);
  std::vector<uint8_t> untouched(4, 0xAB);
  PMR_GetNewRGBA32(untouched.data());  // empty: nothing is copied
  EXPECT_EQ(untouched, std::vector<uint8_t>(4, 0xAB));
}

TEST_F(ImportBuffer, AFailedReadSaysSoAndKeepsTheEarlierPicture) {
  const auto rgb = RandomPixels(3, 2, 3, 1);
  const auto path = ScratchPath("earlier.bmp");
  ASSERT_EQ(PMR_WriteToFileRGB24(rgb.data(), 3, 2, path.c_str(), ".bmp", 72), 1);
  ASSERT_EQ(PMR_ReadFromFile(path.c_str()), 1);
  // A missing file, a file that is no picture and a null path all report failure.
  const auto text = ScratchPath("text.png");
  FILE* f = std::fopen(text.c_str(), "wb");
  std::fputs("no picture", f);
  std::fclose(f);
  EXPECT_EQ(PMR_ReadFromFile("/nonexistent/picture.png"), 0);
  EXPECT_EQ(PMR_ReadFromFile(text.c_str()), 0);
  EXPECT_EQ(PMR_ReadFromFile(nullptr), 0);
  ASSERT_EQ(PMR_GetNewRGBAWidth(), 3);
  std::vector<uint8_t> back(3 * 2 * 4);
  PMR_GetNewRGBA32(back.data());
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(0, std::memcmp(&back[i * 4], &rgb[i * 3], 3)) << i;
    EXPECT_EQ(back[i * 4 + 3], 255) << "a picture without alpha reads opaque";
  }
}

TEST_F(ImportBuffer, AMemoryFailureReportsAndKeepsTheEarlierPicture) {
  const auto small = RandomPixels(2, 2, 4, 3), large = RandomPixels(64, 64, 4, 4);
  const auto smallPath = ScratchPath("small.png"), largePath = ScratchPath("large.png");
  ASSERT_EQ(PMR_WriteToFileRGBA32(small.data(), 2, 2, smallPath.c_str(), ".png", 72), 1);
  ASSERT_EQ(PMR_WriteToFileRGBA32(large.data(), 64, 64, largePath.c_str(), ".png", 72), 1);
  ASSERT_EQ(PMR_ReadFromFile(smallPath.c_str()), 1);
  engine::SetAllocationCeilingForTesting(1000);
  EXPECT_EQ(PMR_ReadFromFile(largePath.c_str()), 0);
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_STREQ(PMR_GetLastError(), "ReadFromFile Excpt");
  EXPECT_EQ(PMR_GetNewRGBAWidth(), 2);
  std::vector<uint8_t> back(small.size());
  PMR_GetNewRGBA32(back.data());
  EXPECT_EQ(back, small);
}

TEST(EffectNames, ListTheCatalogueInOrderAndEndWithNull) {
  std::vector<std::string> names;
  for (int32_t i = 0; const char* name = PMR_IPLGetEffectName(i); ++i) names.emplace_back(name);
  ASSERT_FALSE(names.empty());
  EXPECT_NE(std::find(names.begin(), names.end(), "Adjust HSV"), names.end());
  EXPECT_EQ(PMR_IPLGetEffectName(-1), nullptr);
  EXPECT_EQ(PMR_IPLGetEffectName(int32_t(names.size())), nullptr);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << "each name once";
}

}  // namespace
