#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "brush/brush_fixture.h"
#include "brush/dab_internal.h"
#include "brush/dab_vector_kernels.h"

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
  __builtin_cpu_init();
  const Candidate candidates[] = {
      {"avx2", __builtin_cpu_supports("avx2") != 0, &brush::PlainConstantPairsAvx2},
      {"avx512", __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                     __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq"),
       &brush::PlainConstantQuadsAvx512},
  };
  brush::PaintRules rules;  // plain write-back
  std::mt19937 rng(11);
  brush::SetVectorKernelsForTesting(false);
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
  brush::SetVectorKernelsForTesting(true);
}

}  // namespace
