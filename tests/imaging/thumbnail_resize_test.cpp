#include <gtest/gtest.h>

#include "imaging/imaging.h"
#include "imaging/picture_test_support.h"

namespace {

using namespace imaging;

TEST(ThumbnailResize, DecimatingByWholeFactorsAveragesEachBlock) {
  // 8x4 RGB shrunk to 2x1: every output pixel is the rounded mean of a 4x4 block.
  const auto src = picture_test::RandomPixels(8, 4, 3, 4);
  std::vector<uint8_t> out(2 * 3, 0);
  ASSERT_EQ(IS3DecimateImage(src.data(), 8, 4, 24, out.data(), 2, 1, 6, 3, 1), 1);
  for (int bx = 0; bx < 2; ++bx) {
    for (int c = 0; c < 3; ++c) {
      int sum = 0;
      for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) sum += src[(y * 8 + bx * 4 + x) * 3 + c];
      }
      EXPECT_NEAR(out[bx * 3 + c], sum / 16.0, 0.51);
    }
  }
  // Decimation never enlarges.
  EXPECT_EQ(IS3DecimateImage(src.data(), 8, 4, 24, out.data(), 9, 1, 27, 3, 1), 0);
}

TEST(ThumbnailResize, ResizeKeepsFlatPicturesFlatBothWaysAndHonoursStrides) {
  std::vector<uint8_t> src(5 * 3 * 4 + 4 * 3, 0);  // rows of 24 bytes for 5 pixels of 4
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      uint8_t* p = &src[y * 24 + x * 4];
      p[0] = 10, p[1] = 20, p[2] = 30, p[3] = 40;
    }
  }
  std::vector<uint8_t> big(11 * 7 * 4, 0), small(2 * 1 * 4, 0);
  ASSERT_EQ(IS3ResizeImage(src.data(), 5, 3, 24, big.data(), 11, 7, 44, 4), 1);
  ASSERT_EQ(IS3ResizeImage(src.data(), 5, 3, 24, small.data(), 2, 1, 8, 4), 1);
  for (std::size_t i = 0; i < big.size(); i += 4) ASSERT_EQ(big[i + 2], 30);
  EXPECT_EQ(small, (std::vector<uint8_t>{10, 20, 30, 40, 10, 20, 30, 40}));
  EXPECT_EQ(IS3ResizeImage(src.data(), 5, 3, 19, big.data(), 11, 7, 44, 4), 0);  // short rows
  EXPECT_EQ(IS3ResizeImage(src.data(), 5, 3, 24, big.data(), 11, 7, 44, 2), 0);
}

TEST(ThumbnailResize, SplitSeparatesColourAndAlpha) {
  const std::vector<uint8_t> rgba{1, 2, 3, 4, 5, 6, 7, 8};
  std::vector<uint8_t> rgb(6), alpha(2);
  ASSERT_EQ(IS3SplitRGBAToRGBPlusA(rgba.data(), 2, 1, rgb.data(), alpha.data()), 1);
  EXPECT_EQ(rgb, (std::vector<uint8_t>{1, 2, 3, 5, 6, 7}));
  EXPECT_EQ(alpha, (std::vector<uint8_t>{4, 8}));
  EXPECT_EQ(IS3SplitRGBAToRGBPlusA(rgba.data(), 2, 1, rgb.data(), nullptr), 1);
}

TEST(ColourQuantize, MedianCutFindsSeparatedClustersAndDitheringKeepsTheMean) {
  // Four tight clusters of colour: a 4-colour palette must land near each cluster's centre.
  const uint32_t w = 64, h = 64;
  const uint8_t centres[4][3] = {{20, 30, 200}, {220, 40, 40}, {30, 200, 60}, {240, 240, 240}};
  std::vector<uint8_t> rgb(w * h * 3);
  std::mt19937 rng(1);
  for (uint32_t i = 0; i < w * h; ++i) {
    for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = uint8_t(centres[i % 4][c] + int(rng() % 9) - 4);
  }
  std::vector<uint8_t> idx(w * h);
  uint32_t palette[4];
  ASSERT_EQ(IS3QuantizeRGBTo8Bit(rgb.data(), w, h, w * 3, idx.data(), w, 4, palette, 0, 20, 0), 1);
  for (const auto& centre : centres) {
    int best = 1 << 30;
    for (uint32_t p : palette) {
      const int dr = int(uint8_t(p)) - centre[0], dg = int(uint8_t(p >> 8)) - centre[1],
                db = int(uint8_t(p >> 16)) - centre[2];
      best = std::min(best, dr * dr + dg * dg + db * db);
    }
    EXPECT_LE(best, 12);
  }
  for (uint32_t i = 0; i < w * h; ++i) {
    const uint32_t p = palette[idx[i]];
    ASSERT_NEAR(int(uint8_t(p)), centres[i % 4][0], 8);
  }

  // Flat grey 96 on a black-and-white palette: error diffusion keeps the average grey.
  std::vector<uint8_t> grey(w * 16 * 3, 96);
  std::fill(grey.begin(), grey.begin() + 3, 0);
  std::fill(grey.begin() + 3, grey.begin() + 6, 255);
  uint32_t two[2];
  std::vector<uint8_t> picture(w * 16, 0);
  ASSERT_EQ(IS3QuantizeRGBTo8Bit(grey.data(), w, 16, w * 3, picture.data(), w, 2, two, 1, 0, 0), 1);
  double mean = 0;
  for (uint32_t i = 2; i < w * 16; ++i) mean += uint8_t(two[picture[i]]);
  mean /= double(w * 16 - 2);
  EXPECT_NEAR(mean, 96, 6);
  EXPECT_EQ(IS3QuantizeRGBTo8Bit(grey.data(), w, 16, w * 3, picture.data(), w, 1, two, 1, 0, 0), 0);
}

}  // namespace
