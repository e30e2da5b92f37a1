// The library's shapes, blur, sharpening and saturation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "imaging/colour_filters.h"
#include "imaging/gaussian_blur.h"
#include "imaging/shapes.h"

namespace {

TEST(Shapes, FilledRectangleIsClippedAndExclusiveAtRightAndBottom) {
  std::vector<uint8_t> p(6 * 5 * 3, 0);
  ASSERT_EQ(imaging::IS3FillSolidRect(p.data(), 6, 5, 3, 18, {-2, 1, 3, 9}, 0x030201, 0), 1);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x < 3 && y >= 1;
      EXPECT_EQ(p[(y * 6 + x) * 3 + 0], inside ? 1 : 0);
      EXPECT_EQ(p[(y * 6 + x) * 3 + 2], inside ? 3 : 0);
    }
  EXPECT_EQ(imaging::IS3FillSolidRect(p.data(), 6, 5, 3, 17, {0, 0, 1, 1}, 0, 0), 0);  // short rows
  EXPECT_EQ(imaging::IS3FillSolidRect(nullptr, 6, 5, 3, 18, {0, 0, 1, 1}, 0, 0), 0);
}

TEST(Shapes, EllipseCoversItsInsideAndNotItsCorners) {
  const int w = 41, h = 31;
  std::vector<uint8_t> p(w * h, 0);
  ASSERT_EQ(
      imaging::IS3DrawEllipseOnImage(p.data(), w, h, 1, w, 200, {20, 15}, 20, 15, 1, 1, 0, 0, 0),
      1);
  EXPECT_EQ(p[15 * w + 20], 200);
  EXPECT_EQ(p[15 * w + 1], 200);  // near the ends of the long axis
  EXPECT_EQ(p[1 * w + 20], 200);  // and of the short one
  EXPECT_EQ(p[0], 0);             // corners stay outside
  EXPECT_EQ(p[h * w - 1], 0);
  // A centre far away draws nothing and succeeds; absurd radii are refused.
  std::vector<uint8_t> before = p;
  EXPECT_EQ(
      imaging::IS3DrawEllipseOnImage(p.data(), w, h, 1, w, 9, {100000, 5}, 3, 3, 1, 1, 0, 0, 0), 1);
  EXPECT_EQ(p, before);
  EXPECT_EQ(
      imaging::IS3DrawEllipseOnImage(p.data(), w, h, 1, w, 9, {5, 5}, 1u << 30, 3, 1, 1, 0, 0, 0),
      0);
}

TEST(GaussianBlur, KeepsFlatPicturesAndBlursOnlyTheChosenChannels) {
  const int w = 64, h = 48;
  std::vector<uint8_t> p(w * h * 4);
  for (int i = 0; i < w * h; ++i) {
    p[i * 4 + 0] = 77;                         // flat: stays 77 under any blur
    p[i * 4 + 1] = (i % w) < w / 2 ? 0 : 255;  // an edge: softened
    p[i * 4 + 2] = (i % w) < w / 2 ? 0 : 255;  // the same edge, not chosen
    p[i * 4 + 3] = 255;
  }
  for (double radius : {1.5, 20.0}) {
    std::vector<uint8_t> out(p.size());
    ASSERT_EQ(
        imaging::is5_GaussianBlurImage(p.data(), w, h, 4, w * 4, out.data(), w * 4, radius, 3), 1);
    const int mid = (h / 2) * w;
    EXPECT_EQ(out[(mid + 3) * 4 + 0], 77);
    EXPECT_GT(out[(mid + w / 2 - 1) * 4 + 1], 10);  // light bled across the edge
    EXPECT_LT(out[(mid + w / 2) * 4 + 1], 245);
    EXPECT_EQ(out[(mid + w / 2 - 1) * 4 + 2], 0);  // channel 2 untouched
    EXPECT_NEAR(out[(mid + w / 2 - 1) * 4 + 1] + out[(mid + w / 2) * 4 + 1], 255, 3);  // symmetric
  }
}

TEST(ColourFilters, SharpenSteepensEdgesAndZeroCopies) {
  const int w = 16, h = 4;
  std::vector<uint8_t> p(w * h * 3), out(p.size());
  for (int i = 0; i < w * h; ++i)
    for (int c = 0; c < 3; ++c) p[i * 3 + c] = (i % w) < w / 2 ? 60 : 180;
  ASSERT_EQ(imaging::IS3SharpenImage(p.data(), w, h, 3, w * 3, out.data(), w * 3, 0, 7), 1);
  EXPECT_EQ(out, p);
  ASSERT_EQ(imaging::IS3SharpenImage(p.data(), w, h, 3, w * 3, out.data(), w * 3, 5, 7), 1);
  EXPECT_LT(out[(w / 2 - 1) * 3], 60);  // the dark side darkens at the edge
  EXPECT_GT(out[(w / 2) * 3], 180);     // the light side lightens
  EXPECT_EQ(out[0], 60);                // far from the edge nothing moves
}

TEST(ColourFilters, SaturationScalesAroundTheLuma) {
  std::vector<uint8_t> p = {200, 100, 50, 9};
  std::vector<uint8_t> q = p;
  ASSERT_EQ(imaging::IS3ModifyImageSaturation(q.data(), 1, 1, 4, 4, 1.0), 1);
  EXPECT_EQ(q, p);
  ASSERT_EQ(imaging::IS3ModifyImageSaturation(q.data(), 1, 1, 4, 4, 0.0), 1);
  // luma = 0.299 x 200 + 0.587 x 100 + 0.114 x 50 = 124.2
  EXPECT_EQ(q, (std::vector<uint8_t>{124, 124, 124, 9}));
  q = p;
  ASSERT_EQ(imaging::IS3ModifyImageSaturation(q.data(), 1, 1, 4, 4, 2.0), 1);
  EXPECT_EQ(q, (std::vector<uint8_t>{255, 76, 0, 9}));  // 124.2 + 2 x (x - 124.2), limited
  EXPECT_EQ(imaging::IS3ModifyImageSaturation(q.data(), 1, 1, 4, 4, std::nan("")), 0);
}

}  // namespace
