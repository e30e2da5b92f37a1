// The picture-script runner's distortions against models worked out here: neutral values change
// nothing, a zoom and a kaleidoscope put pixels where their geometry says, the drops repeat for
// a seed and differ between seeds, and unusable values are refused with the picture untouched.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "imaging/picture_script.h"

namespace {

constexpr uint32_t kW = 32, kH = 24;

std::vector<uint8_t> Noise(uint32_t w, uint32_t h) {
  std::mt19937 rng(21);
  std::vector<uint8_t> px(size_t{w} * h * 4);
  for (uint8_t& b : px) b = uint8_t(rng());
  return px;
}

// Runs one effect with some slots set on a copy; false when the runner refuses.
bool RunScript(uint32_t effect, std::vector<std::pair<uint32_t, double>> slots,
               std::vector<uint8_t>* px, uint32_t w = kW, uint32_t h = kH) {
  if (!imaging::ISL_Initialize() || !imaging::ISL_AddEffect(effect, 1)) return false;
  for (const auto& [slot, value] : slots)
    if (!imaging::ISL_SetEffectValue(0, slot, value)) return false;
  const bool ok = imaging::ISL_ExecuteScriptOnImage(px->data(), w, h) != 0;
  imaging::ISL_Finish();
  return ok;
}

TEST(ScriptDistortions, NeutralValuesChangeNothing) {
  const auto original = Noise(kW, kH);
  const std::pair<uint32_t, std::vector<std::pair<uint32_t, double>>> cases[] = {
      {6, {{3, 0}}},           // twirl without a turn
      {13, {{3, 0}}},          // sine distortion without amplitude
      {16, {{6, 0}}},          // waves without amplitude
      {50, {{3, 100}}},        // zoom 100 %
      {54, {{3, 0}, {4, 0}}},  // tilt flat
  };
  for (const auto& [effect, slots] : cases)
    for (double edge : {0.0, 1.0, 2.0, 3.0}) {
      auto px = original;
      auto withEdge = slots;
      withEdge.push_back({7, edge});
      ASSERT_TRUE(RunScript(effect, withEdge, &px)) << effect;
      EXPECT_EQ(px, original) << "effect " << effect << " edge " << edge;
    }
}

TEST(ScriptDistortions, ZoomAndKaleidoscopeFollowTheirGeometry) {
  const auto original = Noise(kW, kH);
  // Zoom 300 % about the picture's middle: the destination pixel centre x + 0.5 reads the source
  // at 16 + (x + 0.5 - 16) / 3. Where that is a source pixel centre the pixel arrives unchanged.
  auto zoomed = original;
  ASSERT_TRUE(RunScript(50, {{3, 300}, {4, 50}, {5, 50}}, &zoomed));
  int compared = 0;
  for (uint32_t y = 0; y < kH; ++y)
    for (uint32_t x = 0; x < kW; ++x) {
      const double sx = 16 + (x + 0.5 - 16) / 3, sy = 12 + (y + 0.5 - 12) / 3;
      if (sx - std::floor(sx) != 0.5 || sy - std::floor(sy) != 0.5) continue;
      const size_t from = (size_t(sy) * kW + size_t(sx)) * 4, to = (size_t{y} * kW + x) * 4;
      for (int c = 0; c < 4; ++c) ASSERT_EQ(zoomed[to + c], original[from + c]) << x << "," << y;
      ++compared;
    }
  EXPECT_GT(compared, 50);
  // Four wedges with the mirror at 0 degrees about the middle: the picture becomes symmetric top
  // to bottom and left to right.
  auto mirrored = original;
  ASSERT_TRUE(RunScript(49, {{3, 4}, {4, 0}, {5, 50}, {6, 50}}, &mirrored));
  for (uint32_t y = 0; y < kH; ++y)
    for (uint32_t x = 0; x < kW; ++x)
      for (int c = 0; c < 4; ++c) {
        const int here = mirrored[(size_t{y} * kW + x) * 4 + c];
        ASSERT_NEAR(here, mirrored[(size_t{kH - 1 - y} * kW + x) * 4 + c], 1) << x << "," << y;
        ASSERT_NEAR(here, mirrored[(size_t{y} * kW + kW - 1 - x) * 4 + c], 1) << x << "," << y;
      }
}

TEST(ScriptDistortions, DropsRepeatForASeedAndUnusableValuesAreRefused) {
  const auto original = Noise(kW, kH);
  auto drops = [&](double seed) {
    auto px = original;
    EXPECT_TRUE(RunScript(16, {{3, seed}, {4, 3}, {5, 6}, {6, 3}}, &px));
    return px;
  };
  EXPECT_EQ(drops(5), drops(5));
  EXPECT_NE(drops(5), drops(6));
  EXPECT_NE(drops(5), original);
  const std::pair<uint32_t, std::vector<std::pair<uint32_t, double>>> refused[] = {
      {6, {{4, 0}}},    // twirl of no radius
      {13, {{4, 0}}},   // sine of no wavelength
      {16, {{4, 0}}},   // no drops
      {49, {{3, 1}}},   // one wedge
      {50, {{3, 0}}},   // zoom to nothing
      {54, {{3, 90}}},  // tilted edge-on
      {54, {{5, 0}}},   // the eye on the picture
      {6, {{7, 4}}},    // unknown edge mode
  };
  for (const auto& [effect, slots] : refused) {
    auto px = original;
    EXPECT_FALSE(RunScript(effect, slots, &px)) << effect;
    EXPECT_EQ(px, original) << effect;
  }
}

}  // namespace
