// The opaque-copy shortcut of the Normal rule at its edge, at every CPU level the machine has: a
// source alpha of 65280 or more replaces the destination pixel exactly (colour above 65280 kept,
// its own alpha), 65279 blends (colour limited to 65280, the alpha raised by the destination's).
// The fast path has this threshold in three places (runs copied whole, single pixels, the vector
// row), and the reference loop a fourth; all must agree on the same edge.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/cpu_features_internal.h"
#include "render/composite_layer_rect.h"
#include "support/engine_fixture.h"

namespace {

using platform::CpuLevel;

constexpr uint16_t kSource[3] = {65535, 65400, 65300};  // above the 65280 colour scale
constexpr uint16_t kDest[4] = {1000, 2000, 3000, 30000};

// Alphas at the edge in runs of one to five and alone, so runs, single pixels, groups of four
// and row tails all meet them.
std::vector<uint16_t> EdgeAlphas() {
  std::vector<uint16_t> alphas;
  const uint16_t edge[] = {65279, 65280, 65281};
  for (int run = 1; run <= 5; ++run) {
    for (uint16_t a : edge) alphas.insert(alphas.end(), run, a);
  }
  for (uint16_t a : {65280, 65279, 65281, 65279, 65280, 65535, 65279}) alphas.push_back(a);
  return alphas;
}

class CopyRunThreshold : public palmora_test::EngineTest,
                         public ::testing::WithParamInterface<CpuLevel> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    platform::SetCpuLevelForTesting(GetParam());
    if (platform::CurrentCpuLevel() != GetParam()) GTEST_SKIP() << "the CPU level is lower";
  }
  void TearDown() override {
    platform::SetCpuLevelForTesting(CpuLevel::kAvx512);
    render::ForceReferenceCompositeForTesting(false);
    EngineTest::TearDown();
  }
};

TEST_P(CopyRunThreshold, OpaqueFromAlpha65280InRunsPixelsAndTheReference) {
  const std::vector<uint16_t> alphas = EdgeAlphas();
  const int width = static_cast<int>(alphas.size());
  std::vector<uint16_t> source(alphas.size() * 4);
  for (int x = 0; x < width; ++x) {
    for (int c = 0; c < 3; ++c) source[4 * x + c] = kSource[c];
    source[4 * x + 3] = alphas[x];
  }
  for (bool reference : {false, true}) {
    for (uint8_t lock : {0, 1}) {
      std::vector<uint16_t> dest;
      for (int x = 0; x < width; ++x) dest.insert(dest.end(), kDest, kDest + 4);
      render::ForceReferenceCompositeForTesting(reference);
      render::CompositeLayerRect(source.data(), 0, 0, width, 1, width * 4, nullptr, dest.data(), 0,
                                 0, width * 4, 0, 0, 256, lock, 0);
      for (int x = 0; x < width; ++x) {
        SCOPED_TRACE(::testing::Message() << "alpha " << alphas[x] << " at " << x << " lock "
                                          << int(lock) << (reference ? " reference" : " fast"));
        const uint16_t* d = &dest[4 * x];
        const uint16_t keptAlpha = lock ? kDest[3] : alphas[x];
        if (alphas[x] >= 65280) {
          EXPECT_EQ(d[0], kSource[0]);
          EXPECT_EQ(d[1], kSource[1]);
          EXPECT_EQ(d[2], kSource[2]);
          EXPECT_EQ(d[3], keptAlpha);
        } else {
          // Sa = 65279 / 65535 over Da = 30000 / 65535: R = Sa + Da (1 - Sa) lies above Sa.
          for (int c = 0; c < 3; ++c) EXPECT_LE(d[c], 65280);
          if (lock) {
            EXPECT_EQ(d[3], kDest[3]);
          } else {
            EXPECT_GT(d[3], 65279);
            EXPECT_LT(d[3], 65535);
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, CopyRunThreshold,
                         ::testing::Values(CpuLevel::kScalar, CpuLevel::kSsse3, CpuLevel::kSse41,
                                           CpuLevel::kAvx2, CpuLevel::kAvx512),
                         [](const ::testing::TestParamInfo<CpuLevel>& info) {
                           return std::string(platform::CpuLevelName(info.param));
                         });

}  // namespace
