// The smears' vector path (eight lines at once, with row bands on the cores where the lines do
// not meet) against the pair rule taken line by line: pictures from just under one group of
// eight lines to several hundred, with rows and columns left over, flat areas (equal
// luminances) and sharp steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/parallel_rows.h"
#include "platform/cpu_features_internal.h"
#include "process/effects/run_own_effect.h"
#include "process/effects/smear_rules.h"

namespace {

std::vector<uint8_t> Picture(int w, int h, std::mt19937& rng) {
  std::vector<uint8_t> px(std::size_t(w) * h * 4);
  uint8_t base[4] = {0, 0, 0, 0};
  for (std::size_t i = 0; i < px.size(); ++i) {
    if (i % 4 == 0 && rng() % 4 == 0)
      for (uint8_t& b : base) b = uint8_t(rng());
    // Flat runs (the same pixel again) half the time, noise around the run's colour otherwise.
    px[i] = rng() % 2 ? base[i % 4] : uint8_t(base[i % 4] + rng() % 9);
  }
  return px;
}

std::vector<uint8_t> Smeared(const char* name, std::vector<int> sliders,
                             const std::vector<uint8_t>& in, int w, int h, bool vector) {
  process::OwnEffectArguments args;
  for (std::size_t i = 0; i < sliders.size(); ++i) args.sliders[i] = sliders[i];
  std::vector<uint8_t> src = in, dst(in.size());
  platform::SetCpuLevelForTesting(vector ? platform::CpuLevel::kAvx512
                                         : platform::CpuLevel::kScalar);
  const bool ran = process::RunOwnEffectOnBuffers(name, src.data(), dst.data(), w, h, args);
  platform::SetCpuLevelForTesting(platform::CpuLevel::kAvx512);
  EXPECT_TRUE(ran);
  return dst;
}

TEST(SmearLanes, MatchTheOnePairRuleLineByLine) {
  struct Effect {
    const char* name;
    std::vector<int> sliders;
  };
  const Effect effects[] = {{"Value Blur", {900, 300}},
                            {"Value Blur", {1000, 0}},
                            {"Value Blur", {0, 1000}},
                            {"Noise Reduction", {900, 120}},
                            {"Noise Reduction", {0, 1000}},
                            {"Noise Reduction", {1000, 20}},
                            {"Anti Alias", {400, 700, 800, 600}},
                            {"Anti Alias", {1000, 0, 1000, 1000}},
                            // Weights outside 0..1 carry the mix past the byte range both ways.
                            {"Anti Alias", {1500, -300, 950, 900}}};
  const int sizes[][2] = {{7, 7},   {8, 8},  {9, 17},  {10, 10},
                          {33, 24}, {64, 9}, {17, 64}, {520, 300}};
  std::mt19937 rng(12);
  for (const auto& size : sizes) {
    const auto in = Picture(size[0], size[1], rng);
    for (const Effect& e : effects) {
      ASSERT_EQ(Smeared(e.name, e.sliders, in, size[0], size[1], true),
                Smeared(e.name, e.sliders, in, size[0], size[1], false))
          << e.name << " " << e.sliders[0] << "/" << e.sliders[1] << " " << size[0] << "x"
          << size[1];
    }
  }
}

TEST(SmearLanes, AntiAliasInBandsOnSeveralThreadsMatchesOneThread) {
  // Each band reads the line past its end from a copy made before the pass; any split into bands,
  // in any order, must give what one thread gives, in every pass direction.
  const int sizes[][2] = {{16, 16}, {40, 23}, {23, 40}, {130, 97}, {97, 130}};
  std::mt19937 rng(77);
  for (const auto& size : sizes) {
    const auto in = Picture(size[0], size[1], rng);
    const std::vector<int> sliders = {600, 300, 900, 850};
    engine::SetRowBandThreadsForTesting(1);
    const auto serial = Smeared("Anti Alias", sliders, in, size[0], size[1], false);
    for (int threads : {2, 3, 5}) {
      engine::SetRowBandThreadsForTesting(threads);
      EXPECT_EQ(Smeared("Anti Alias", sliders, in, size[0], size[1], true), serial)
          << threads << " threads, " << size[0] << "x" << size[1];
    }
  }
  engine::SetRowBandThreadsForTesting(0);
}

TEST(SmearLanes, LuminanceByMultiplicationEqualsTheDivisionForEverySum) {
  // The vector path divides by three with (sum * 43691) >> 17; a pixel pair for every sum 0..765
  // and its neighbours must mix exactly as the one-pair rule says.
  const int w = 766, h = 10;
  std::vector<uint8_t> in(std::size_t(w) * h * 4);
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      const int sum = (x * (2 * y + 1) + 3 * y) % 766;
      uint8_t* p = &in[(std::size_t(y) * w + x) * 4];
      p[0] = uint8_t(std::min(sum, 255));
      p[1] = uint8_t(std::clamp(sum - 255, 0, 255));
      p[2] = uint8_t(std::clamp(sum - 510, 0, 255));
      p[3] = uint8_t(x * 7 + y);
    }
  EXPECT_EQ(Smeared("Value Blur", {700, 400}, in, w, h, true),
            Smeared("Value Blur", {700, 400}, in, w, h, false));
  EXPECT_EQ(Smeared("Noise Reduction", {800, 4}, in, w, h, true),
            Smeared("Noise Reduction", {800, 4}, in, w, h, false));
}

}  // namespace
