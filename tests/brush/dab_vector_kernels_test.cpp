#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "brush/blend_buffer_internal.h"
#include "brush/brush_fixture.h"
#include "brush/carried_paint_kernels.h"
#include "brush/dab_internal.h"
#include "brush/dab_vector_kernels.h"
#include "platform/cpu_features_internal.h"

namespace {

using brush_test::FillRandom;

// Each vector kernel the processor has gives exactly what the scalar kernel gives, over random
// spans of every length with the extremes of coverage, colour and alpha.
TEST(DabVectorKernels, MatchTheScalarKernelBitForBit) {
  struct Candidate {
    const char* name;
    bool available;
    brush::PlainGroupsKernel kernel;
  };
  const Candidate candidates[] = {
      {"avx2", platform::CpuAtLeast(platform::CpuLevel::kAvx2), &brush::PlainConstantPairsAvx2},
      {"avx512", platform::CpuAtLeast(platform::CpuLevel::kAvx512),
       &brush::PlainConstantQuadsAvx512},
  };
  brush::PaintRules rules;  // plain write-back
  std::mt19937 rng(11);
  const platform::ScopedCpuLevelForTesting scalarOnly(platform::CpuLevel::kScalar);
  const brush::PaintKernel scalar = brush::LowRuleKernel(brush::kPlainPaint, rules, true);
  for (const Candidate& c : candidates) {
    if (!c.available) continue;
    for (int round = 0; round < 20000; ++round) {
      const int32_t count = int32_t(rng() % 34);
      std::vector<uint16_t> target(std::size_t(count) * 4 + 4), expected;
      FillRandom(target.data(), target.size(), rng);
      std::vector<uint32_t> coverage(count + 1);
      for (auto& a : coverage) a = brush_test::RandomSample(rng);
      uint16_t source[4];
      FillRandom(source, 4, rng);
      expected = target;
      brush::PaintSpan span;
      span.target = expected.data();
      span.coverage = coverage.data();
      span.source = source;
      span.count = count;
      scalar(span, rules);
      const int32_t done = c.kernel(target.data(), coverage.data(), count, source);
      ASSERT_LE(count - done, 3);
      span.target = target.data() + 4 * done;
      span.coverage = coverage.data() + done;
      span.count = count - done;
      scalar(span, rules);
      ASSERT_EQ(target, expected) << c.name << " round " << round;
    }
  }
}

// The smudge kernels against the scalar ones: plain paint from carried paint read in place (with
// and without the remix, every strength 1..256) and the carried paint's mix with the canvas
// (shares 1..65535), over random rows of every length with the extreme alphas.
TEST(DabVectorKernels, SmudgeKernelsMatchTheScalarKernelsBitForBit) {
  struct Candidate {
    const char* name;
    bool available;
    brush::CarriedPaintKernel paint;
    brush::CarriedMixKernel mix;
  };
  const Candidate candidates[] = {
      {"avx2", platform::CpuAtLeast(platform::CpuLevel::kAvx2), &brush::CarriedPaintPairsAvx2,
       &brush::CarriedMixPairsAvx2},
      {"avx512", platform::CpuAtLeast(platform::CpuLevel::kAvx512), &brush::CarriedPaintQuadsAvx512,
       &brush::CarriedMixQuadsAvx512},
  };
  std::mt19937 rng(12);
  const platform::ScopedCpuLevelForTesting scalarOnly(platform::CpuLevel::kScalar);
  const brush::MixKernel scalarMix = brush::BlendMixKernel(brush::kPlainPaint);
  for (const Candidate& c : candidates) {
    if (!c.available) continue;
    for (int round = 0; round < 20000; ++round) {
      const int32_t count = int32_t(rng() % 37);
      std::vector<uint16_t> target(std::size_t(count) * 4), blend(std::size_t(count) * 4);
      FillRandom(target.data(), target.size(), rng);
      FillRandom(blend.data(), blend.size(), rng);
      std::vector<uint32_t> coverage(count + 1), canvasAlpha(count + 1);
      std::vector<int32_t> position(count + 1);
      for (int32_t i = 0; i <= count; ++i) {
        coverage[i] = rng() % 4 == 0 ? 0 : brush_test::RandomSample(rng);
        canvasAlpha[i] = rng() % 4 == 0 ? 0 : brush_test::RandomSample(rng);
        position[i] = i;
      }

      brush::PaintRules rules;
      rules.blending = true;
      rules.remix = rng() % 4 != 0;
      rules.blendStrength = 1 + int32_t(rng() % 256);
      rules.blendInverse = 256 - rules.blendStrength;
      rules.remixInRange = true;
      ASSERT_TRUE(brush::CarriedPaintVectorFits(rules));
      std::vector<uint16_t> expectedTarget = target, expectedBlend = blend;
      const brush::PaintKernel scalarPaint = brush::LowRuleKernel(brush::kPlainPaint, rules, false);
      brush::PaintSpan span;
      span.target = expectedTarget.data();
      span.coverage = coverage.data();
      span.position = position.data();
      span.source = expectedBlend.data();
      span.sourceStep = 4;
      span.count = count;
      rules.blend = expectedBlend.data();
      scalarPaint(span, rules);
      const int32_t done = c.paint(target.data(), coverage.data(), count, blend.data(), rules);
      ASSERT_LE(count - done, 3);
      rules.blend = blend.data();
      span.target = target.data() + 4 * done;
      span.coverage = coverage.data() + done;
      span.position = position.data() + done;
      span.source = blend.data() + 4 * done;
      span.count = count - done;
      scalarPaint(span, rules);
      ASSERT_EQ(target, expectedTarget) << c.name << " paint round " << round;
      ASSERT_EQ(blend, expectedBlend) << c.name << " remix round " << round;

      brush::MixRules mix;
      mix.k = 1 + rng() % 65535;
      std::vector<uint16_t> canvas(std::size_t(count) * 4);
      FillRandom(canvas.data(), canvas.size(), rng);
      brush::MixRow row;
      row.canvas = canvas.data();
      row.canvasAlpha = canvasAlpha.data();
      row.blend = expectedBlend.data();
      row.count = count;
      scalarMix(row, mix);
      const int32_t mixed =
          c.mix(brush::MixRow{canvas.data(), canvasAlpha.data(), blend.data(), count}, mix.k);
      ASSERT_LE(count - mixed, 3);
      scalarMix(brush::MixRow{canvas.data() + 4 * mixed, canvasAlpha.data() + mixed,
                              blend.data() + 4 * mixed, count - mixed},
                mix);
      ASSERT_EQ(blend, expectedBlend) << c.name << " mix round " << round << " k " << mix.k;
    }
  }
}

}  // namespace
