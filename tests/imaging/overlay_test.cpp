#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "imaging/overlay.h"
#include "imaging/plane_filters.h"

namespace {

using imaging::IS3BlurImage;
using imaging::IS3OverlayImage;

TEST(Overlay, CopiesTheInsidePartAtAnyPlacement) {
  // A 3 x 2 source of 16-bit samples laid at (-1, 1) on a 4 x 3 destination: only its two right
  // columns land, on the last row.
  std::vector<uint16_t> src = {1, 2, 3, 4, 5, 6};
  std::vector<uint16_t> dst(12, 0);
  ASSERT_EQ(IS3OverlayImage(dst.data(), 4, 3, 2, 8, src.data(), 3, 2, 6, -1, 2, 1.0, 0), 1);
  EXPECT_EQ(dst, (std::vector<uint16_t>{0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 0, 0}));
  // Wholly outside: nothing written, still a success.
  EXPECT_EQ(IS3OverlayImage(dst.data(), 4, 3, 2, 8, src.data(), 3, 2, 6, 9, 0, 1.0, 0), 1);
  EXPECT_EQ(IS3OverlayImage(dst.data(), 4, 3, 2, 8, src.data(), 3, 2, 6, -3, 0, 1.0, 0), 1);
  EXPECT_EQ(dst[8], 2);
}

TEST(Overlay, CopiesEightBytePixelsWithPaddedRows) {
  std::vector<uint16_t> src(2 * 2 * 4);
  std::iota(src.begin(), src.end(), 100);
  std::vector<uint16_t> dst(3 * 5 * 4 + 8, 7);  // rows of 5 pixels, 3 of them used
  ASSERT_EQ(IS3OverlayImage(dst.data(), 3, 3, 8, 40, src.data(), 2, 2, 16, 1, 1, 1.0, 0), 1);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(dst[20 + 4 + c], 100 + c);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(dst[40 + 4 + c], 108 + c);
  EXPECT_EQ(dst[20 + 12], 7);
}

TEST(Overlay, RefusesBadArgumentsWithoutWriting) {
  std::vector<uint8_t> src(16, 9), dst(16, 0);
  EXPECT_EQ(IS3OverlayImage(nullptr, 2, 2, 4, 8, src.data(), 2, 2, 8, 0, 0, 1.0, 0), 0);
  EXPECT_EQ(IS3OverlayImage(dst.data(), 2, 2, 4, 8, nullptr, 2, 2, 8, 0, 0, 1.0, 0), 0);
  EXPECT_EQ(IS3OverlayImage(dst.data(), 2, 2, 5, 8, src.data(), 2, 2, 8, 0, 0, 1.0, 0), 0);
  EXPECT_EQ(IS3OverlayImage(dst.data(), 2, 2, 4, 7, src.data(), 2, 2, 8, 0, 0, 1.0, 0), 0);
  EXPECT_EQ(IS3OverlayImage(dst.data(), 0, 2, 4, 8, src.data(), 2, 2, 8, 0, 0, 1.0, 0), 0);
  EXPECT_EQ(IS3OverlayImage(dst.data(), 2, 2, 4, 8, src.data(), 2, 2, 8, 0, 0, 1.0, 9), 0);
  EXPECT_EQ(IS3OverlayImage(dst.data(), 2, 2, 3, 6, src.data(), 2, 2, 6, 0, 0, 1.0, 1), 0);
  EXPECT_EQ(dst, std::vector<uint8_t>(16, 0));
}

TEST(Overlay, OpacityMixesAndAlphaBlendLaysOverByAlpha) {
  std::vector<uint8_t> src = {200, 100, 0, 255};
  std::vector<uint8_t> dst = {0, 0, 100, 255};
  ASSERT_EQ(IS3OverlayImage(dst.data(), 1, 1, 4, 4, src.data(), 1, 1, 4, 0, 0, 0.5, 0), 1);
  EXPECT_EQ(dst, (std::vector<uint8_t>{100, 50, 50, 255}));
  // Opaque source over anything: the source. Clear source: the destination stays.
  dst = {1, 2, 3, 40};
  ASSERT_EQ(IS3OverlayImage(dst.data(), 1, 1, 4, 4, src.data(), 1, 1, 4, 0, 0, 1.0, 1), 1);
  EXPECT_EQ(dst, src);
  std::vector<uint8_t> clear = {9, 9, 9, 0};
  dst = {1, 2, 3, 40};
  ASSERT_EQ(IS3OverlayImage(dst.data(), 1, 1, 4, 4, clear.data(), 1, 1, 4, 0, 0, 1.0, 1), 1);
  EXPECT_EQ(dst, (std::vector<uint8_t>{1, 2, 3, 40}));
  // Half-covering white over opaque black: mid grey, still opaque.
  std::vector<uint8_t> half = {255, 255, 255, 128};
  dst = {0, 0, 0, 255};
  ASSERT_EQ(IS3OverlayImage(dst.data(), 1, 1, 4, 4, half.data(), 1, 1, 4, 0, 0, 1.0, 1), 1);
  EXPECT_EQ(dst, (std::vector<uint8_t>{128, 128, 128, 255}));
}

TEST(PlaneBlur, KeepsFlatPlanesFlatAndSpreadsAnImpulseSymmetrically) {
  std::vector<uint8_t> flat(20 * 10, 77), out(20 * 10, 0);
  ASSERT_EQ(IS3BlurImage(flat.data(), 20, 10, 1, 20, out.data(), 20, 100, 1), 1);
  EXPECT_EQ(out, flat);

  std::vector<uint8_t> dot(9 * 9, 0);
  dot[4 * 9 + 4] = 255;
  ASSERT_EQ(IS3BlurImage(dot.data(), 9, 9, 1, 9, dot.data(), 9, 100, 0), 1);  // in place
  EXPECT_LT(dot[4 * 9 + 4], 255);
  EXPECT_GT(dot[4 * 9 + 4], dot[4 * 9 + 5]);
  EXPECT_EQ(dot[4 * 9 + 3], dot[4 * 9 + 5]);
  EXPECT_EQ(dot[3 * 9 + 4], dot[5 * 9 + 4]);
  const int sum = std::accumulate(dot.begin(), dot.end(), 0);
  EXPECT_NEAR(sum, 255, 12);
}

TEST(PlaneBlur, RefusesBadArguments) {
  std::vector<uint8_t> a(16), b(16);
  EXPECT_EQ(IS3BlurImage(nullptr, 4, 4, 1, 4, b.data(), 4, 100, 1), 0);
  EXPECT_EQ(IS3BlurImage(a.data(), 4, 4, 2, 8, b.data(), 8, 100, 1), 0);
  EXPECT_EQ(IS3BlurImage(a.data(), 4, 4, 1, 3, b.data(), 4, 100, 1), 0);
  EXPECT_EQ(IS3BlurImage(a.data(), 0, 4, 1, 4, b.data(), 4, 100, 1), 0);
}

}  // namespace
