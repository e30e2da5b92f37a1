#include <gtest/gtest.h>

#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "imaging/imaging.h"

namespace {

std::vector<uint8_t> Numbered(uint32_t w, uint32_t h, uint32_t bpp) {
  std::vector<uint8_t> p(size_t{w} * h * bpp);
  for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i * 7 + 3);
  return p;
}

// Pixel (x, y) of a packed picture.
const uint8_t* At(const std::vector<uint8_t>& p, uint32_t w, uint32_t bpp, uint32_t x, uint32_t y) {
  return &p[(size_t{y} * w + x) * bpp];
}

bool SamePixel(const uint8_t* a, const uint8_t* b, uint32_t bpp) {
  return std::equal(a, a + bpp, b);
}

TEST(CropImage, CopiesTheRectangleAndTakesInvertedCornersSwapped) {
  const uint32_t w = 9, h = 7, bpp = 3;
  const auto src = Numbered(w, h, bpp);
  for (const imaging::CropRect rect :
       {imaging::CropRect{2, 1, 6, 5}, imaging::CropRect{6, 5, 2, 1}}) {
    std::vector<uint8_t> out(4 * 4 * bpp);
    ASSERT_TRUE(imaging::IS3CropImage(src.data(), w, h, w * bpp, out.data(), 4 * bpp, &rect, bpp));
    for (uint32_t y = 0; y < 4; ++y)
      for (uint32_t x = 0; x < 4; ++x)
        EXPECT_TRUE(SamePixel(At(out, 4, bpp, x, y), At(src, w, bpp, x + 2, y + 1), bpp));
  }
}

TEST(CropImage, RefusesRectanglesOutsideThePictureOrEmpty) {
  const auto src = Numbered(8, 8, 4);
  std::vector<uint8_t> out(8 * 8 * 4, 5);
  const auto untouched = out;
  for (const imaging::CropRect rect :
       {imaging::CropRect{-1, 0, 4, 4}, imaging::CropRect{0, 0, 9, 4},
        imaging::CropRect{2, 2, 2, 6}, imaging::CropRect{0, 5, 4, 9}})
    EXPECT_FALSE(imaging::IS3CropImage(src.data(), 8, 8, 32, out.data(), 32, &rect, 4));
  const imaging::CropRect fine{0, 0, 4, 4};
  EXPECT_FALSE(
      imaging::IS3CropImage(src.data(), 8, 8, 32, out.data(), 15, &fine, 4));  // short rows
  EXPECT_FALSE(imaging::IS3CropImage(src.data(), 8, 8, 32, out.data(), 32, nullptr, 4));
  EXPECT_EQ(out, untouched);
}

TEST(QuickRotateImage, QuarterTurnsPlacePixelsAndUndoEachOther) {
  const uint32_t w = 5, h = 3;
  for (uint32_t bpp : {1u, 3u, 4u, 8u}) {
    const auto src = Numbered(w, h, bpp);
    std::vector<uint8_t> left(src.size()), right(src.size()), back(src.size()), half(src.size());
    ASSERT_TRUE(imaging::IS3QuickRotateImage(src.data(), w, h, w * bpp, left.data(), h * bpp,
                                             imaging::kTurnLeft, bpp));
    ASSERT_TRUE(imaging::IS3QuickRotateImage(src.data(), w, h, w * bpp, right.data(), h * bpp,
                                             imaging::kTurnRight, bpp));
    ASSERT_TRUE(imaging::IS3QuickRotateImage(src.data(), w, h, w * bpp, half.data(), w * bpp,
                                             imaging::kTurnHalf, bpp));
    // Anticlockwise: the top-right corner comes to the top-left; clockwise: the bottom-left does.
    for (uint32_t y = 0; y < w; ++y)
      for (uint32_t x = 0; x < h; ++x) {
        EXPECT_TRUE(SamePixel(At(left, h, bpp, x, y), At(src, w, bpp, w - 1 - y, x), bpp));
        EXPECT_TRUE(SamePixel(At(right, h, bpp, x, y), At(src, w, bpp, y, h - 1 - x), bpp));
      }
    EXPECT_TRUE(SamePixel(At(half, w, bpp, 0, 0), At(src, w, bpp, w - 1, h - 1), bpp));
    ASSERT_TRUE(imaging::IS3QuickRotateImage(left.data(), h, w, h * bpp, back.data(), w * bpp,
                                             imaging::kTurnRight, bpp));
    EXPECT_EQ(back, src);
  }
  std::vector<uint8_t> out(15);
  const auto src = Numbered(5, 3, 1);
  EXPECT_FALSE(
      imaging::IS3QuickRotateImage(src.data(), 5, 3, 5, out.data(), 3, 3, 1));  // unknown direction
  EXPECT_FALSE(
      imaging::IS3QuickRotateImage(src.data(), 5, 3, 5, out.data(), 2, 0, 1));  // rows too short
}

TEST(FlipImage, MirrorsInPlaceAndTwiceRestores) {
  const uint32_t w = 5, h = 4;
  for (uint32_t bpp : {1u, 3u, 4u, 8u}) {
    const auto src = Numbered(w, h, bpp);
    auto flipped = src;
    ASSERT_TRUE(imaging::IS3HorizontalFlipImage(flipped.data(), w, h, bpp, w * bpp));
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x)
        EXPECT_TRUE(SamePixel(At(flipped, w, bpp, x, y), At(src, w, bpp, w - 1 - x, y), bpp));
    ASSERT_TRUE(imaging::IS3HorizontalFlipImage(flipped.data(), w, h, bpp, w * bpp));
    EXPECT_EQ(flipped, src);
    ASSERT_TRUE(imaging::IS3VerticalFlipImage(flipped.data(), w * bpp, h));
    for (uint32_t y = 0; y < h; ++y)
      EXPECT_TRUE(SamePixel(At(flipped, w, bpp, 0, y), At(src, w, bpp, 0, h - 1 - y), bpp));
  }
  EXPECT_FALSE(imaging::IS3HorizontalFlipImage(nullptr, 4, 4, 4, 16));
  EXPECT_FALSE(imaging::IS3VerticalFlipImage(nullptr, 16, 4));
}

TEST(RotateImage, RotatedSizesAndQuarterTurnsAreExact) {
  uint32_t w = 0, h = 0;
  const float quarter = 90 * 0.0174532925f;
  ASSERT_TRUE(imaging::is5_GetRotatedPixelSize(quarter, 40, 25, &w, &h));
  EXPECT_EQ(w, 25u);
  EXPECT_EQ(h, 40u);
  ASSERT_TRUE(imaging::is5_GetRotatedPixelSize(45 * 0.0174532925f, 10, 10, &w, &h));
  EXPECT_EQ(w, 15u);  // 10 x sqrt 2 = 14.14, rounded up
  EXPECT_FALSE(imaging::is5_GetRotatedPixelSize(quarter, 0, 10, &w, &h));

  const auto src = Numbered(6, 4, 4);
  std::vector<uint8_t> turned(src.size()), reference(src.size());
  ASSERT_TRUE(imaging::is5_RotateImage(src.data(), 6, 4, 4, 24, turned.data(), 16, 0, 0, quarter,
                                       imaging::kRotateBicubic));
  ASSERT_TRUE(imaging::IS3QuickRotateImage(src.data(), 6, 4, 24, reference.data(), 16,
                                           imaging::kTurnLeft, 4));
  EXPECT_EQ(turned, reference);
}

TEST(RotateImage, TurnedPictureKeepsItsCentreAndFillsCornersWithBackground) {
  const uint32_t side = 21;
  std::vector<uint8_t> src(side * side * 4, 200);
  uint32_t w = 0, h = 0;
  const float angle = 30 * 0.0174532925f;
  ASSERT_TRUE(imaging::is5_GetRotatedPixelSize(angle, side, side, &w, &h));
  std::vector<uint8_t> out(size_t{w} * h * 4, 1);
  ASSERT_TRUE(imaging::is5_RotateImage(src.data(), side, side, 4, side * 4, out.data(), w * 4,
                                       0x04030201, 0, angle, 1));
  EXPECT_EQ(out[(size_t{h / 2} * w + w / 2) * 4], 200);  // centre
  EXPECT_EQ(out[0], 1);                                  // corner: background red byte
  EXPECT_EQ(out[3], 4);                                  // and its alpha byte
}

TEST(TransformList, WholePixelOffsetsMoveExactlyWithEachEdgeMode) {
  const uint32_t w = 6, h = 4;
  const auto src = Numbered(w, h, 4);
  std::vector<uint8_t> out(src.size());
  const uint32_t fill = 0xDDCCBBAA;
  auto expectedPixel = [&](uint32_t mode, int64_t sx, int64_t sy, uint8_t* pixel) {
    auto fold = [&](int64_t u, int64_t n) -> int64_t {
      if (mode == imaging::kEdgeWrap) return ((u % n) + n) % n;
      if (mode == imaging::kEdgeRepeat) return std::clamp<int64_t>(u, 0, n - 1);
      const int64_t r = ((u % (2 * n)) + 2 * n) % (2 * n);
      return r < n ? r : 2 * n - 1 - r;
    };
    if (mode == imaging::kEdgeFill && (sx < 0 || sy < 0 || sx >= w || sy >= h)) {
      for (int c = 0; c < 4; ++c) pixel[c] = static_cast<uint8_t>(fill >> (8 * c));
      return;
    }
    std::copy_n(At(src, w, 4, uint32_t(fold(sx, w)), uint32_t(fold(sy, h))), 4, pixel);
  };
  for (uint32_t mode :
       {imaging::kEdgeFill, imaging::kEdgeWrap, imaging::kEdgeRepeat, imaging::kEdgeMirror}) {
    imaging::is5_ClearAllTransforms();
    ASSERT_TRUE(imaging::is5_AddOffsetTransform(w, h, 2, -1, mode));
    ASSERT_TRUE(
        imaging::is5_TransformProcess(src.data(), w, h, 4, w * 4, out.data(), w * 4, 0, fill, 0));
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        uint8_t expected[4];
        expectedPixel(mode, int64_t(x) - 2, int64_t(y) + 1, expected);
        ASSERT_TRUE(SamePixel(At(out, w, 4, x, y), expected, 4))
            << "mode " << mode << " at " << x << "," << y;
      }
  }
  EXPECT_FALSE(imaging::is5_AddOffsetTransform(w, h, 1, 1, 4));
  imaging::is5_ClearAllTransforms();
  EXPECT_FALSE(
      imaging::is5_TransformProcess(src.data(), w, h, 4, w * 4, out.data(), w * 4, 0, 0, 0));
}

TEST(ChannelHelpers, GreySplitCombineAndReorder) {
  std::vector<uint8_t> rgba = {255, 0, 0, 9, 0, 255, 0, 8, 0, 0, 255, 7, 10, 20, 30, 6};
  std::vector<uint8_t> grey(4);
  ASSERT_TRUE(imaging::IS3ImageToGrayScale8Bit(rgba.data(), 4, 1, 16, 4, grey.data(), 4));
  EXPECT_EQ(grey, (std::vector<uint8_t>{77, 149, 29, (77 * 10 + 150 * 20 + 29 * 30 + 128) >> 8}));
  auto inPlace = rgba;
  ASSERT_TRUE(imaging::IS3ImageToGrayScale8Bit(inPlace.data(), 2, 2, 8, 4, inPlace.data(), 2));
  EXPECT_EQ(std::vector<uint8_t>(inPlace.begin(), inPlace.begin() + 4), grey);

  std::vector<uint8_t> alpha(4), red(4);
  ASSERT_TRUE(imaging::IS3SplitImage(rgba.data(), 4, 1, 16, 4, red.data(), nullptr, nullptr,
                                     alpha.data(), 4));
  EXPECT_EQ(alpha, (std::vector<uint8_t>{9, 8, 7, 6}));
  auto joined = rgba;
  ASSERT_TRUE(imaging::IS3CombineImageChannels(joined.data(), 4, 1, 16, 4, alpha.data(), nullptr,
                                               nullptr, red.data(), 4));
  EXPECT_EQ(joined[0], 9);
  EXPECT_EQ(joined[3], 255);
  EXPECT_EQ(joined[1], 0);

  auto swapped = rgba;
  ASSERT_TRUE(imaging::IS3RGBAToBGRA(swapped.data(), 4, 1, 16));
  EXPECT_EQ(swapped[12], 30);
  EXPECT_EQ(swapped[14], 10);
  ASSERT_TRUE(imaging::IS40_ReorderChannels(swapped.data(), 4, 1, 16, 2, 1, 0, 3));
  EXPECT_EQ(swapped, rgba);
  EXPECT_FALSE(imaging::IS40_ReorderChannels(swapped.data(), 4, 1, 16, 4, 1, 0, 3));
}

TEST(OverlayImage, NewerOverlayLaysPicturesLikeTheOlderOne) {
  std::vector<uint8_t> page(6 * 5 * 4, 0), older(6 * 5 * 4, 0);
  const auto tile = Numbered(3, 3, 4);
  ASSERT_TRUE(imaging::IS40_OverlayImage(page.data(), 6, 5, 4, 24, tile.data(), 3, 3, 12, -1, 3,
                                         1.0, 0, 0, 0));
  ASSERT_TRUE(
      imaging::IS3OverlayImage(older.data(), 6, 5, 4, 24, tile.data(), 3, 3, 12, -1, 3, 1.0, 0));
  EXPECT_EQ(page, older);
  EXPECT_TRUE(SamePixel(At(page, 6, 4, 0, 3), At(tile, 3, 4, 1, 0), 4));
}

}  // namespace
