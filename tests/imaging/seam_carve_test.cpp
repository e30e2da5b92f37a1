#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "imaging/imaging.h"

namespace {

// A flat grey picture with a bright vertical bar: the cheapest seams run through the flat parts.
std::vector<uint8_t> BarPicture(uint32_t w, uint32_t h, uint32_t barX) {
  std::vector<uint8_t> p(size_t{w} * h, 60);
  for (uint32_t y = 0; y < h; ++y) p[y * w + barX] = p[y * w + barX + 1] = 250;
  return p;
}

TEST(SeamCarve, NarrowingKeepsTheDetailAndDropsFlatColumns) {
  const uint32_t w = 20, h = 8;
  const auto src = BarPicture(w, h, 12);
  std::vector<uint8_t> out(size_t{w - 6} * h);
  ASSERT_TRUE(
      imaging::ISE40_SeamCarve(src.data(), w, h, 1, w, nullptr, 0, out.data(), w - 6, -6, 1000, 1));
  for (uint32_t y = 0; y < h; ++y) {
    int bright = 0;
    for (uint32_t x = 0; x < w - 6; ++x) bright += out[y * (w - 6) + x] == 250;
    EXPECT_EQ(bright, 2) << "row " << y;  // scaling would have blurred or dropped the bar
  }
}

TEST(SeamCarve, ProtectionMapSteersSeamsAway) {
  // A picture with no detail at all: without a map the seams may go anywhere; with the left half
  // protected (mask 0) every removed column must come from the right half.
  const uint32_t w = 16, h = 6;
  std::vector<uint8_t> src(size_t{w} * h * 4);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = &src[(y * w + x) * 4];
      p[0] = p[1] = p[2] = 100;
      p[3] =
          static_cast<uint8_t>(x);  // the column number travels in alpha (not part of the energy)
    }
  std::vector<uint16_t> mask(size_t{w} * h, 65535);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w / 2; ++x) mask[y * w + x] = 0;
  std::vector<uint8_t> out(size_t{w - 5} * h * 4);
  ASSERT_TRUE(imaging::ISE40_SeamCarve(src.data(), w, h, 4, w * 4, mask.data(), w, out.data(),
                                       (w - 5) * 4, -5, 1000, 1));
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w / 2; ++x)
      EXPECT_EQ(out[(y * (w - 5) + x) * 4 + 3], x) << "row " << y;
}

TEST(SeamCarve, WideningDoublesLowEnergySeams) {
  const uint32_t w = 12, h = 5;
  const auto src = BarPicture(w, h, 3);
  std::vector<uint8_t> out(size_t{w + 7} * h);
  ASSERT_TRUE(
      imaging::ISE40_SeamCarve(src.data(), w, h, 1, w, nullptr, 0, out.data(), w + 7, 7, 1000, 1));
  for (uint32_t y = 0; y < h; ++y) {
    int bright = 0;
    for (uint32_t x = 0; x < w + 7; ++x) bright += out[y * (w + 7) + x] == 250;
    EXPECT_EQ(bright, 2) << "row " << y;
  }
}

TEST(SeamCarve, RefusesImpossibleWidths) {
  const auto src = BarPicture(10, 4, 2);
  std::vector<uint8_t> out(40, 7);
  EXPECT_FALSE(
      imaging::ISE40_SeamCarve(src.data(), 10, 4, 1, 10, nullptr, 0, out.data(), 10, -10, 1000, 1));
  EXPECT_FALSE(imaging::ISE40_SeamCarve(src.data(), 10, 4, 1, 10, nullptr, 0, out.data(), 10,
                                        INT32_MAX, 1000, 1));
  EXPECT_FALSE(
      imaging::ISE40_SeamCarve(src.data(), 10, 4, 1, 10, nullptr, 0, out.data(), 5, -4, 1000, 1));
  EXPECT_FALSE(imaging::ISE40_SeamCarve(src.data(), 10, 4, 1, 10,
                                        reinterpret_cast<const uint16_t*>(out.data()), 5,
                                        out.data(), 10, -1, 1000, 1));
  EXPECT_EQ(out, std::vector<uint8_t>(40, 7));
}

}  // namespace
