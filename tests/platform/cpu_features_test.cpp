// The one CPU switch: PALMORA_CPU and the test hook only ever lower the level, and every kernel
// dispatch of the engine follows it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "brush/carried_paint_kernels.h"
#include "brush/dab_vector_kernels.h"
#include "platform/cpu_features_internal.h"
#include "render/composite_internal.h"
#include "render/view_span.h"

namespace {

using platform::CpuLevel;

constexpr CpuLevel kLevels[] = {CpuLevel::kScalar, CpuLevel::kSsse3, CpuLevel::kSse41,
                                CpuLevel::kAvx2, CpuLevel::kAvx512};

// The level PALMORA_CPU asks for in this process (CTest runs the kernel tests once per level),
// or the machine's when it names none.
CpuLevel EnvironmentLevel() {
  const char* env = std::getenv("PALMORA_CPU");
  const auto asked = env ? platform::CpuLevelFromName(env) : std::nullopt;
  return asked ? std::min(*asked, platform::MachineCpuLevel()) : platform::MachineCpuLevel();
}

TEST(CpuFeatures, NamesAreExactAndRoundTrip) {
  for (CpuLevel level : kLevels) {
    EXPECT_EQ(platform::CpuLevelFromName(platform::CpuLevelName(level)), level);
  }
  for (const char* name : {"", "AVX2", "avx", "sse4.1", "avx512f", "scalar "}) {
    EXPECT_FALSE(platform::CpuLevelFromName(name).has_value()) << '"' << name << '"';
  }
}

TEST(CpuFeatures, TheHookLowersButNeverRaisesTheLevel) {
  const CpuLevel ceiling = EnvironmentLevel();
  EXPECT_EQ(platform::CurrentCpuLevel(), ceiling);
  for (CpuLevel level : kLevels) {
    platform::ScopedCpuLevelForTesting cap(level);
    EXPECT_EQ(platform::CurrentCpuLevel(), std::min(level, ceiling))
        << platform::CpuLevelName(level);
  }
  EXPECT_EQ(platform::CurrentCpuLevel(), ceiling);
}

// Each dispatch gives its AVX2 kernel exactly from AVX2 up, the AVX-512 one from AVX-512 up, and
// the scalar code (null) below.
TEST(CpuFeatures, EveryDispatchFollowsTheLevel) {
  for (CpuLevel level : kLevels) {
    platform::ScopedCpuLevelForTesting cap(level);
    if (platform::CurrentCpuLevel() != level) continue;
    SCOPED_TRACE(platform::CpuLevelName(level));
    const bool avx2 = level >= CpuLevel::kAvx2, avx512 = level >= CpuLevel::kAvx512;
    EXPECT_EQ(render::NormalRowVector() != nullptr, avx2);
    EXPECT_EQ(render::RuleRowVector(render::BlendRule::kMultiply) != nullptr, avx2);
    EXPECT_EQ(render::RuleRowVector(render::BlendRule::kDifference), nullptr);
    EXPECT_EQ(render::ViewSpanBlendVector(render::BlendRule::kScreen) != nullptr, avx2);
    EXPECT_EQ(render::ViewSpanEntryVector(render::kModeNormal) != nullptr, avx2);
    EXPECT_EQ(render::ViewSpanOutputVector() != nullptr, avx2);
    EXPECT_EQ(brush::VectorPlainKernel(), avx512 ? &brush::PlainConstantQuadsAvx512
                                          : avx2 ? &brush::PlainConstantPairsAvx2
                                                 : nullptr);
    EXPECT_EQ(brush::VectorCarriedPaintKernel(), avx512 ? &brush::CarriedPaintQuadsAvx512
                                                 : avx2 ? &brush::CarriedPaintPairsAvx2
                                                        : nullptr);
    EXPECT_EQ(brush::VectorCarriedMixKernel(), avx512 ? &brush::CarriedMixQuadsAvx512
                                               : avx2 ? &brush::CarriedMixPairsAvx2
                                                      : nullptr);
  }
}

}  // namespace

namespace {

// A run asked for a level the machine lacks (CTest registers every level) skips all its tests
// instead of running them again at a lower level under that level's name. A skip here prints
// only its message, so the message carries the marker CTest reads as "skipped".
class RequestedLevelPresent : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* env = std::getenv("PALMORA_CPU");
    const auto asked = env ? platform::CpuLevelFromName(env) : std::nullopt;
    if (asked && *asked > platform::MachineCpuLevel()) {
      GTEST_SKIP() << "[  SKIPPED ] this machine has no " << env << "; it stops at "
                   << platform::CpuLevelName(platform::MachineCpuLevel());
    }
  }
};

[[maybe_unused]] ::testing::Environment* const kRequestedLevelPresent =
    ::testing::AddGlobalTestEnvironment(new RequestedLevelPresent);

}  // namespace
