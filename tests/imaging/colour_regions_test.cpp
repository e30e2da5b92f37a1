#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "imaging/colour_regions.h"

namespace {

using imaging::ImagePoint;

// Squared colour distance of the first three bytes.
int32_t Distance(const uint8_t* a, const uint8_t* b) {
  int32_t d = 0;
  for (int c = 0; c < 3; ++c) d += (a[c] - b[c]) * (a[c] - b[c]);
  return d;
}

// The region a fill should reach: breadth-first from the seed over edge neighbours whose colour is
// within the tolerance of the seed's.
std::vector<bool> ReferenceRegion(const std::vector<uint8_t>& picture, int w, int h, int bpp,
                                  ImagePoint seed, int32_t tolerance) {
  std::vector<bool> in(std::size_t(w) * h, false);
  const uint8_t* key = &picture[(std::size_t(seed.y) * w + seed.x) * bpp];
  std::deque<ImagePoint> todo{seed};
  in[std::size_t(seed.y) * w + seed.x] = true;
  while (!todo.empty()) {
    const ImagePoint p = todo.front();
    todo.pop_front();
    const ImagePoint next[] = {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}};
    for (const ImagePoint& q : next) {
      if (q.x < 0 || q.y < 0 || q.x >= w || q.y >= h) continue;
      const std::size_t i = std::size_t(q.y) * w + q.x;
      if (in[i] || Distance(&picture[i * bpp], key) > tolerance) continue;
      in[i] = true;
      todo.push_back(q);
    }
  }
  return in;
}

// A picture of few colours in blobs, so that regions have holes, islands and diagonal contacts.
std::vector<uint8_t> BlobPicture(int w, int h, int bpp, std::mt19937& rng) {
  const uint8_t palette[4][4] = {
      {10, 20, 30, 255}, {12, 21, 30, 128}, {200, 20, 30, 0}, {10, 200, 30, 77}};
  std::vector<uint8_t> picture(std::size_t(w) * h * bpp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int colour = (rng() % 3 == 0) ? int(rng() % 4) : ((x / 3 + y / 2) % 4);
      for (int c = 0; c < bpp; ++c)
        picture[(std::size_t(y) * w + x) * bpp + c] = palette[colour][c];
    }
  return picture;
}

uint32_t Packed(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16; }

TEST(ColourRegions, FloodFillReachesExactlyTheConnectedRegionAndKeepsAlpha) {
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    const int w = 1 + int(rng() % 23), h = 1 + int(rng() % 17);
    std::vector<uint8_t> picture = BlobPicture(w, h, 4, rng);
    const ImagePoint seed{int(rng() % w), int(rng() % h)};
    const uint32_t tolerance = rng() % 2 ? 0 : 5 + rng() % 40000;
    const std::vector<bool> region = ReferenceRegion(picture, w, h, 4, seed, int32_t(tolerance));
    std::vector<uint8_t> filled = picture;
    ASSERT_EQ(imaging::IS3FloodFillImage(filled.data(), w, h, 4, w * 4, seed, 0xABCDEF,
                                         imaging::kEdgeNeighbours, tolerance, 0),
              1);
    for (std::size_t i = 0; i < region.size(); ++i) {
      const uint8_t* p = &filled[i * 4];
      const uint32_t expected = region[i] ? 0xABCDEF : Packed(&picture[i * 4]);
      ASSERT_EQ(Packed(p), expected) << "round " << round << " pixel " << i;
      ASSERT_EQ(p[3], picture[i * 4 + 3]) << "alpha is kept";
    }
  }
}

TEST(ColourRegions, CornerContactJoinsOnlyWithCornerConnectivity) {
  // A diagonal of one colour on a background of another.
  const int w = 4, h = 4;
  std::vector<uint8_t> picture(w * h * 3, 0);
  for (int i = 0; i < 4; ++i) picture[(i * w + i) * 3] = 255;
  std::vector<uint8_t> edge = picture, corner = picture;
  ASSERT_TRUE(imaging::IS3FloodFillImage(edge.data(), w, h, 3, w * 3, {0, 0}, 0x00FF00,
                                         imaging::kEdgeNeighbours, 0, 0));
  ASSERT_TRUE(imaging::IS3FloodFillImage(corner.data(), w, h, 3, w * 3, {0, 0}, 0x00FF00, 0, 0, 0));
  EXPECT_EQ(edge[(3 * w + 3) * 3 + 1], 0);
  EXPECT_EQ(corner[(3 * w + 3) * 3 + 1], 255);
  EXPECT_EQ(edge[0 * 3 + 1], 255);
}

TEST(ColourRegions, ColourReplaceMatchesByDistanceAndItsOptionDecidesAlpha) {
  std::mt19937 rng(9);
  for (int round = 0; round < 100; ++round) {
    const int w = 1 + int(rng() % 19), h = 1 + int(rng() % 7);
    std::vector<uint8_t> picture(std::size_t(w) * h * 4);
    for (auto& b : picture) b = uint8_t(rng());
    const uint8_t key[3] = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
    const uint32_t tolerance = round == 0 ? 195075 : rng() % 60000;
    const uint32_t option = rng() % 2 ? imaging::kReplaceWholePixel : imaging::kReplaceColourBytes;
    std::vector<uint8_t> replaced = picture;
    ASSERT_EQ(imaging::IS3ColorReplaceImage(replaced.data(), w, h, 4, w * 4, Packed(key),
                                            0x80112233, tolerance, option),
              1);
    for (std::size_t i = 0; i < std::size_t(w) * h; ++i) {
      const bool near = Distance(&picture[i * 4], key) <= int32_t(tolerance);
      if (round == 0) {
        ASSERT_TRUE(near);
      }
      ASSERT_EQ(Packed(&replaced[i * 4]), near ? 0x112233u : Packed(&picture[i * 4]));
      const uint8_t alpha =
          near && option == imaging::kReplaceWholePixel ? 0x80 : picture[i * 4 + 3];
      ASSERT_EQ(replaced[i * 4 + 3], alpha);
    }
  }
}

TEST(ColourRegions, MatchMaskMarksTheRegionOnlyAndComparesTheChosenBytes) {
  // A grey picture of alpha values: the comparison of the first byte alone equals that of all
  // three.
  std::mt19937 rng(3);
  const int w = 13, h = 9, mapStride = 16;
  std::vector<uint8_t> picture(w * h * 3);
  for (int i = 0; i < w * h; ++i)
    picture[i * 3] = picture[i * 3 + 1] = picture[i * 3 + 2] = uint8_t(rng() % 3 * 20);
  const ImagePoint seed{6, 4};
  // 20^2 x 3 = 1200: neighbours one step of 20 away join, two steps do not.
  const std::vector<bool> region = ReferenceRegion(picture, w, h, 3, seed, 1200);
  std::vector<uint8_t> map(mapStride * h, 7);
  ASSERT_EQ(
      imaging::IS3GetColorMatchMaskFromImage(picture.data(), w, h, 3, w * 3, map.data(), mapStride,
                                             seed, 0xFF0000FF, imaging::kEdgeNeighbours, 1200, 0),
      1);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < mapStride; ++x) {
      const bool in = x < w && region[std::size_t(y) * w + x];
      ASSERT_EQ(map[y * mapStride + x], in ? 1 : 7) << x << "," << y;
    }
  }
}

TEST(ColourRegions, BadArgumentsAreRefusedAndWriteNothing) {
  std::vector<uint8_t> picture(4 * 4 * 4, 9), map(16, 0);
  const std::vector<uint8_t> before = picture;
  EXPECT_EQ(imaging::IS3FloodFillImage(picture.data(), 4, 4, 4, 4 * 4, {4, 0}, 1, 1, 0, 0), 0);
  EXPECT_EQ(imaging::IS3FloodFillImage(picture.data(), 4, 4, 4, 4 * 4, {0, -1}, 1, 1, 0, 0), 0);
  EXPECT_EQ(imaging::IS3FloodFillImage(picture.data(), 4, 4, 4, 3 * 4, {0, 0}, 1, 1, 0, 0), 0);
  EXPECT_EQ(imaging::IS3FloodFillImage(nullptr, 4, 4, 4, 4 * 4, {0, 0}, 1, 1, 0, 0), 0);
  EXPECT_EQ(imaging::IS3ColorReplaceImage(picture.data(), 4, 4, 2, 4 * 2, 9, 1, 0, 0), 0);
  EXPECT_EQ(imaging::IS3GetColorMatchMaskFromImage(picture.data(), 4, 4, 4, 16, map.data(), 3,
                                                   {0, 0}, 0xFF, 1, 0, 0),
            0);
  EXPECT_EQ(imaging::IS3GetColorMatchMaskFromImage(picture.data(), 4, 4, 4, 16, nullptr, 4, {0, 0},
                                                   0xFF, 1, 0, 0),
            0);
  EXPECT_EQ(picture, before);
  EXPECT_EQ(map, std::vector<uint8_t>(16, 0));
}

TEST(ColourRegions, RectangleFillAndOutlineKeepToThePicture) {
  const int w = 6, h = 5;
  std::vector<uint8_t> filled(w * h, 0), outline(w * h, 0);
  ASSERT_TRUE(
      imaging::IS3FillTransparentRectOnImage(filled.data(), w, h, 1, w, {-2, 1, 3, 99}, 7, 1, 0));
  ASSERT_TRUE(
      imaging::IS3FillTransparentRectOnImage(outline.data(), w, h, 1, w, {1, 0, 5, 4}, 7, 0, 0));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      EXPECT_EQ(filled[y * w + x], (x < 3 && y >= 1) ? 7 : 0) << x << "," << y;
      const bool border = x >= 1 && x <= 4 && y <= 3 && (x == 1 || x == 4 || y == 0 || y == 3);
      EXPECT_EQ(outline[y * w + x], border ? 7 : 0) << x << "," << y;
    }
}

}  // namespace
