// The picture-script runner's generators and filters: generators repeat for a seed and change
// with it, the tiling ones wrap round, Seamless joins opposite edges, the filters against models
// worked out by hand, and every effect on the smallest and on transparent pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "imaging/picture_script.h"
#include "imaging/script/paint_layer.h"
#include "support/png_write.h"

namespace {

using Slots = std::vector<std::pair<uint32_t, double>>;
using Pixels = std::vector<uint8_t>;

constexpr uint32_t kGenerators[] = {1, 2, 3, 4, 5, 11, 20, 21, 24, 37, 42, 43, 55, 58, 59};
constexpr uint32_t kFilters[] = {17, 18, 19, 22, 25, 26, 27, 28, 39, 51, 52, 56};

// Runs one runner effect on the picture (blue, green, red, alpha) in place; false on refusal.
bool RunEffect(uint32_t id, Pixels& pixels, uint32_t w, uint32_t h, const Slots& slots = {}) {
  bool ok = imaging::ISL_Initialize() && imaging::ISL_AddEffect(id, 1);
  for (const auto& [slot, value] : slots) ok = ok && imaging::ISL_SetEffectValue(0, slot, value);
  ok = ok && imaging::ISL_ExecuteScriptOnImage(pixels.data(), w, h);
  imaging::ISL_Finish();
  return ok;
}

Pixels Filled(uint32_t w, uint32_t h, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
  Pixels p(size_t{w} * h * 4);
  for (size_t i = 0; i < p.size(); i += 4) p[i] = b, p[i + 1] = g, p[i + 2] = r, p[i + 3] = a;
  return p;
}

const uint8_t* At(const Pixels& p, uint32_t w, uint32_t x, uint32_t y) {
  return p.data() + (size_t{y} * w + x) * 4;
}

// Writes the picture for looking at when PALMORA_TEST_PNG_DIR is set.
void Keep(const std::string& name, Pixels pixels, uint32_t w, uint32_t h) {
  const std::string dir = palmora_test::PictureDir();
  if (dir.empty()) return;
  for (size_t i = 0; i < pixels.size(); i += 4) std::swap(pixels[i], pixels[i + 2]);
  palmora_test::WritePng(dir + "/" + name + ".png", pixels.data(), w, h);
}

TEST(ScriptGenerators, RepeatForASeedAndChangeWithIt) {
  constexpr uint32_t w = 320, h = 240;
  for (uint32_t id : kGenerators) {
    const Pixels ground = Filled(w, h, 200, 190, 180, 255);
    Pixels first = ground, again = ground, other = ground;
    ASSERT_TRUE(RunEffect(id, first, w, h, {{0, 7}})) << id;
    ASSERT_TRUE(RunEffect(id, again, w, h, {{0, 7}})) << id;
    ASSERT_TRUE(RunEffect(id, other, w, h, {{0, 8}})) << id;
    EXPECT_EQ(first, again) << "effect " << id << " is not repeatable";
    EXPECT_NE(first, other) << "effect " << id << " ignores its seed";
    EXPECT_NE(first, ground) << "effect " << id << " painted nothing";
    Keep("generator_" + std::to_string(id), first, w, h);
  }
}

// Mean absolute difference between columns a and b (or rows, when across is false).
double LineDifference(const Pixels& p, uint32_t w, uint32_t h, uint32_t a, uint32_t b,
                      bool columns) {
  double sum = 0;
  const uint32_t n = columns ? h : w;
  for (uint32_t i = 0; i < n; ++i) {
    const uint8_t* pa = columns ? At(p, w, a, i) : At(p, w, i, a);
    const uint8_t* pb = columns ? At(p, w, b, i) : At(p, w, i, b);
    for (int c = 0; c < 3; ++c) sum += std::abs(pa[c] - pb[c]);
  }
  return sum / (3.0 * n);
}

TEST(ScriptGenerators, TilingFillsWrapRoundWithoutASeam) {
  constexpr uint32_t w = 96, h = 64;
  for (uint32_t id : {5u, 11u, 24u, 55u}) {
    Pixels p(size_t{w} * h * 4, 0);
    ASSERT_TRUE(RunEffect(id, p, w, h, {{0, 3}})) << id;
    for (bool columns : {true, false}) {
      const uint32_t n = columns ? w : h;
      double interior = 0;
      for (uint32_t i = 1; i < n; ++i) interior += LineDifference(p, w, h, i - 1, i, columns);
      interior /= n - 1;
      // Across the wrap the picture changes no more than between neighbours inside it.
      EXPECT_LE(LineDifference(p, w, h, n - 1, 0, columns), 2.5 * interior + 1)
          << "effect " << id << (columns ? " left-right" : " top-bottom");
    }
  }
}

TEST(ScriptFilters, SeamlessJoinsOppositeEdgesAndKeepsTheMiddle) {
  // A ramp left to right in red and top to bottom in green jumps by 255 where it wraps.
  constexpr uint32_t w = 64, h = 48;
  Pixels p(size_t{w} * h * 4);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* q = p.data() + (size_t{y} * w + x) * 4;
      q[0] = 0, q[1] = uint8_t(y * 255 / (h - 1)), q[2] = uint8_t(x * 255 / (w - 1)), q[3] = 255;
    }
  const Pixels before = p;
  ASSERT_TRUE(RunEffect(52, p, w, h, {{1, 50}}));
  for (uint32_t y = 0; y < h; ++y)
    EXPECT_LE(std::abs(At(p, w, 0, y)[2] - At(p, w, w - 1, y)[2]), 10) << "row " << y;
  for (uint32_t x = 0; x < w; ++x)
    EXPECT_LE(std::abs(At(p, w, x, 0)[1] - At(p, w, x, h - 1)[1]), 12) << "column " << x;
  // Beyond the fade the picture is as it was.
  for (int c = 0; c < 4; ++c) EXPECT_EQ(At(p, w, w / 2, h / 2)[c], At(before, w, w / 2, h / 2)[c]);
  Keep("seamless_ramp", p, w, h);
}

TEST(ScriptFilters, MaximumAndMinimumSpreadOnePixelOverADisc) {
  constexpr uint32_t n = 11, centre = 5;
  for (bool largest : {true, false}) {
    Pixels p = largest ? Filled(n, n, 0, 0, 0, 0) : Filled(n, n, 255, 255, 255, 255);
    for (int c = 0; c < 4; ++c) p[(centre * n + centre) * 4 + c] = largest ? 255 : 0;
    ASSERT_TRUE(RunEffect(largest ? 25 : 26, p, n, n, {{1, 2}}));
    for (uint32_t y = 0; y < n; ++y)
      for (uint32_t x = 0; x < n; ++x) {
        const double d = std::hypot(double(x) - centre, double(y) - centre);
        const bool spread = At(p, n, x, y)[0] == (largest ? 255 : 0);
        if (d <= 2) {
          EXPECT_TRUE(spread) << x << "," << y;
        }
        if (d > 2.5) {
          EXPECT_FALSE(spread) << x << "," << y;
        }
        EXPECT_EQ(At(p, n, x, y)[0], At(p, n, x, y)[3]);  // alpha goes with the colour
      }
  }
}

TEST(ScriptFilters, EdgeShowsAStepAtItsHeightAndFlatAreasAsNothing) {
  constexpr uint32_t w = 8, h = 4;
  for (bool inverted : {false, true}) {
    Pixels p = Filled(w, h, 50, 50, 50, 77);
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = w / 2; x < w; ++x)
        for (int c = 0; c < 3; ++c) p[(size_t{y} * w + x) * 4 + c] = 150;
    ASSERT_TRUE(RunEffect(19, p, w, h, {{1, 100}, {2, inverted ? 1 : 0}}));
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        // Sobel across a step of 100: (1 + 2 + 1) x 100, a quarter of it per pixel step.
        const int edge = (x == w / 2 - 1 || x == w / 2) ? 100 : 0;
        EXPECT_EQ(At(p, w, x, y)[1], inverted ? 255 - edge : edge) << x << "," << y;
        EXPECT_EQ(At(p, w, x, y)[3], 77);
      }
  }
}

TEST(ScriptFilters, ColorizeTakesTheHueAndKeepsTheLightness) {
  constexpr uint32_t w = 256, h = 1;
  Pixels p(w * 4);
  for (uint32_t x = 0; x < w; ++x)
    p[x * 4] = p[x * 4 + 1] = p[x * 4 + 2] = uint8_t(x), p[x * 4 + 3] = 255;
  // Orange: red 230, green 120, blue 10 (hue 30 degrees).
  ASSERT_TRUE(RunEffect(28, p, w, h, {{1, 100}, {4, 230 | 120 << 8 | 10 << 16}}));
  for (uint32_t x = 40; x < 216; ++x) {
    const int b = At(p, w, x, 0)[0], g = At(p, w, x, 0)[1], r = At(p, w, x, 0)[2];
    EXPECT_NEAR((std::max({r, g, b}) + std::min({r, g, b})) / 2.0, double(x), 1.0);
    ASSERT_GT(r, b);
    const double hue = 60.0 * (g - b) / (r - b);  // red is the largest channel here
    EXPECT_NEAR(hue, 30.0, 2.0) << x;
  }
}

TEST(ScriptFilters, BumpLeavesFlatAreasAndLightsTheSlopeFacingTheLight) {
  constexpr uint32_t w = 16, h = 8;
  Pixels flat = Filled(w, h, 90, 120, 150, 200);
  const Pixels before = flat;
  ASSERT_TRUE(RunEffect(27, flat, w, h));
  EXPECT_EQ(flat, before);
  // A bright vertical bar: lit from the left (180 degrees), its left flank brightens, its right
  // flank darkens.
  Pixels bar = Filled(w, h, 100, 100, 100, 255);
  for (uint32_t y = 0; y < h; ++y)
    for (int c = 0; c < 3; ++c) bar[(size_t{y} * w + 8) * 4 + c] = 200;
  ASSERT_TRUE(RunEffect(27, bar, w, h, {{2, 180}}));
  EXPECT_GT(At(bar, w, 7, 4)[1], 100);
  EXPECT_LT(At(bar, w, 9, 4)[1], 100);
}

TEST(ScriptFilters, EachReworksAPictureTheSameWayEveryTime) {
  constexpr uint32_t w = 240, h = 160;
  Pixels picture(size_t{w} * h * 4, 0);
  ASSERT_TRUE(RunEffect(5, picture, w, h, {{1, 35}}));
  for (uint32_t id : kFilters) {
    if (id == 51) continue;  // a turn by its default angle 0 changes nothing
    Pixels once = picture, twice = picture;
    ASSERT_TRUE(RunEffect(id, once, w, h)) << id;
    ASSERT_TRUE(RunEffect(id, twice, w, h)) << id;
    EXPECT_EQ(once, twice) << "effect " << id;
    EXPECT_NE(once, picture) << "effect " << id << " changed nothing";
    Keep("filter_" + std::to_string(id), once, w, h);
  }
}

// Settings at which an effect must leave any picture exactly as it was.
TEST(ScriptFilters, NeutralSettingsChangeNothing) {
  constexpr uint32_t w = 37, h = 29;
  Pixels picture(size_t{w} * h * 4);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = uint8_t((i * 7919) >> 3);
  const std::pair<uint32_t, Slots> cases[] = {
      {25, {{1, 0}}},          // maximum over a radius of 0
      {26, {{1, 0}}},          // minimum over a radius of 0
      {28, {{1, 0}}},          // colorize by 0 %
      {39, {{1, 0}, {5, 0}}},  // glass that bends nothing and has no highlight
      {56, {{3, 0}}},          // no scratches
      {56, {{2, 0}}},          // invisible scratches
      {43, {{6, 0}}},          // points at opacity 0
      {1, {{3, 0}}},           // no lines
      {17, {{5, 0}, {6, 0}}},  // panes without bars or bevel
      {27, {{1, 0}}},          // a relief of no depth
  };
  for (const auto& [id, slots] : cases) {
    Pixels p = picture;
    ASSERT_TRUE(RunEffect(id, p, w, h, slots)) << id;
    EXPECT_EQ(p, picture) << "effect " << id;
  }
}

// Voxel and carpet of no depth show each cell in its mean colour, alpha included.
TEST(ScriptFilters, BlocksWithoutDepthAreTheirCellsMeanColour) {
  constexpr uint32_t w = 21, h = 14, cell = 6;
  Pixels picture(size_t{w} * h * 4);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = uint8_t((i * 31 + i / 7) & 0xFF);
  for (uint32_t id : {22u, 18u}) {
    Pixels p = picture;
    ASSERT_TRUE(RunEffect(id, p, w, h, {{1, cell}, {2, 0}}));
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x)
        for (int c = 0; c < 4; ++c) {
          // The mean of the cell, rounded; edge cells are cut short by the picture.
          const uint32_t x0 = x / cell * cell, y0 = y / cell * cell;
          uint32_t sum = 0, n = 0;
          for (uint32_t yy = y0; yy < std::min(h, y0 + cell); ++yy)
            for (uint32_t xx = x0; xx < std::min(w, x0 + cell); ++xx)
              sum += At(picture, w, xx, yy)[c], ++n;
          EXPECT_EQ(At(p, w, x, y)[c], (sum + n / 2) / n) << id << " " << x << "," << y << " " << c;
        }
  }
}

// Trees stand on the bottom edge and stay below their height; fibers laid one way run that way.
TEST(ScriptGenerators, TreesAndFibersHaveTheirShape) {
  constexpr uint32_t w = 200, h = 150;
  Pixels trees(size_t{w} * h * 4, 0);
  ASSERT_TRUE(RunEffect(58, trees, w, h, {{1, 40}, {3, 4}}));
  int bottom = 0, high = 0;
  for (uint32_t x = 0; x < w; ++x) bottom += At(trees, w, x, h - 1)[3] > 0;
  for (uint32_t y = 0; y < h * 45 / 100; ++y)
    for (uint32_t x = 0; x < w; ++x) high += At(trees, w, x, y)[3] > 0;
  EXPECT_GT(bottom, 0);
  EXPECT_EQ(high, 0) << "trees of 40 % rose beyond 55 % of the picture";

  // Strands laid left to right: their coverage changes little along a row and much down a
  // column.
  Pixels fibers(size_t{w} * h * 4, 0);
  ASSERT_TRUE(RunEffect(59, fibers, w, h, {{2, 0}, {7, 0}, {3, 60}}));
  long along = 0, across = 0;
  for (uint32_t y = 0; y + 1 < h; ++y)
    for (uint32_t x = 0; x + 1 < w; ++x) {
      along += std::abs(At(fibers, w, x + 1, y)[3] - At(fibers, w, x, y)[3]);
      across += std::abs(At(fibers, w, x, y + 1)[3] - At(fibers, w, x, y)[3]);
    }
  EXPECT_GT(across, 3 * along);
}

TEST(ScriptEffects, EveryEffectRunsOnTinyAndTransparentPictures) {
  const std::pair<uint32_t, uint32_t> sizes[] = {{1, 1}, {1, 9}, {9, 1}, {6, 5}};
  std::vector<uint32_t> all(std::begin(kGenerators), std::end(kGenerators));
  all.insert(all.end(), std::begin(kFilters), std::end(kFilters));
  for (uint32_t id : all)
    for (const auto& [w, h] : sizes) {
      Pixels p(size_t{w} * h * 4, 0);  // transparent
      EXPECT_TRUE(RunEffect(id, p, w, h)) << "effect " << id << " on " << w << " x " << h;
      // Extreme values are limited, never divided by.
      Pixels q(size_t{w} * h * 4, 0);
      EXPECT_TRUE(RunEffect(id, q, w, h, {{1, 0}, {2, 0}, {3, 2000}, {5, 0}, {7, 0}, {8, 0}}) ||
                  id == 51)
          << "effect " << id;
    }
}

TEST(ScriptPaintLayer, MixModesLayPaintOverThePicture) {
  using imaging::script::MixMode;
  // One opaque paint pixel (red 200, green 100, blue 50) over one picture pixel.
  struct Case {
    MixMode mode;
    uint8_t picture[4];  // blue, green, red, alpha
    uint8_t expected[4];
  };
  const Case cases[] = {
      {MixMode::kNormal, {10, 20, 30, 255}, {50, 100, 200, 255}},
      {MixMode::kMultiply, {255, 128, 0, 255}, {50, 50, 0, 255}},    // s x d / 255
      {MixMode::kScreen, {255, 128, 0, 255}, {255, 178, 200, 255}},  // s + d - s d
      {MixMode::kDarken, {255, 128, 0, 255}, {50, 100, 0, 255}},
      {MixMode::kDifference, {255, 128, 0, 255}, {205, 28, 200, 255}},
      {MixMode::kMultiply, {255, 128, 0, 0}, {50, 100, 200, 255}},  // nothing to blend with
      {MixMode::kBehind, {10, 20, 30, 255}, {10, 20, 30, 255}},     // under an opaque pixel
      {MixMode::kErase, {10, 20, 30, 255}, {10, 20, 30, 0}},
      {MixMode::kColourOnly, {10, 20, 30, 0}, {50, 100, 200, 0}},
      {MixMode::kReplace, {10, 20, 30, 255}, {50, 100, 200, 255}},
  };
  for (const Case& c : cases) {
    imaging::script::PaintLayer layer(2, 1);
    layer.Blend(0, 0, {200, 100, 50}, 1.0f);
    uint8_t pixels[8];
    std::copy(c.picture, c.picture + 4, pixels);
    std::copy(c.picture, c.picture + 4, pixels + 4);
    layer.LayOnto({pixels, 2, 1}, c.mode);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(pixels[k], c.expected[k], 1) << int(c.mode) << " " << k;
    // Where nothing was painted the picture stays, except that Replace clears it.
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(pixels[4 + k], c.mode == MixMode::kReplace ? 0 : c.picture[k]) << int(c.mode);
  }
}

}  // namespace
