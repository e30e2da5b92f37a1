// The fast compositing path. Per row it settles the cheap pixels at once (transparent sources
// skipped, copies onto transparent destinations, opaque Normal sources copied) without touching
// floating point, and gathers the pixels that truly blend into a batch. The batch runs one
// mode's blend over many pixels in a loop the compiler vectorises, on AVX2 where the processor
// has it. Each pixel still goes through exactly the expressions of the reference rule, so the
// result is the same to the bit. The alpha modes, whose pre-pass differs pixel by pixel, take the
// reference loop. Where a vector row kernel covers the rule (Normal and the most used other
// rules, without layer mask), whole rows go to it instead of the batch.
//
// Floating-point exceptions are never looked at, so this file tells the compiler so: it may then
// evaluate both sides of a rule's choice and pick one, which is what lets the batch loop
// vectorise. The option changes no computed value, only which operations may run speculatively.
#pragma GCC optimize("no-trapping-math")

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/cpu_features.h"
#include "render/composite_internal.h"

namespace render {
namespace {

constexpr int32_t kBatch = 128;

// Structure-of-arrays pixels waiting for the blend, and its results.
struct BlendBatch {
  alignas(64) int32_t s0[kBatch];
  alignas(64) int32_t s1[kBatch];
  alignas(64) int32_t s2[kBatch];
  alignas(64) int32_t a[kBatch];
  alignas(64) int32_t d0[kBatch];
  alignas(64) int32_t d1[kBatch];
  alignas(64) int32_t d2[kBatch];
  alignas(64) int32_t da[kBatch];
  alignas(64) int32_t o0[kBatch];
  alignas(64) int32_t o1[kBatch];
  alignas(64) int32_t o2[kBatch];
  alignas(64) int32_t oa[kBatch];
  int32_t column[kBatch];
  // Soft Light's m = Dc / Da per channel and their square roots.
  alignas(64) double m0[kBatch];
  alignas(64) double m1[kBatch];
  alignas(64) double m2[kBatch];
  alignas(64) double r0[kBatch];
  alignas(64) double r1[kBatch];
  alignas(64) double r2[kBatch];
};

using BatchFn = void (*)(BlendBatch& b, int32_t n);

// Square roots of a batch, two lanes at a time. The compiler does not vectorise std::sqrt here
// (it must keep errno for negative arguments); the instruction gives the same correctly rounded
// result.
[[gnu::always_inline]] inline void SqrtLanes(double* v, int32_t n) {
#if defined(__SSE2__)
  int32_t j = 0;
  for (; j + 2 <= n; j += 2) _mm_storeu_pd(v + j, _mm_sqrt_pd(_mm_loadu_pd(v + j)));
  for (; j < n; ++j) _mm_store_sd(v + j, _mm_sqrt_sd(_mm_setzero_pd(), _mm_load_sd(v + j)));
#else
  for (int32_t j = 0; j < n; ++j) v[j] = std::sqrt(v[j]);
#endif
}

template <BlendRule kRule>
[[gnu::always_inline]] inline void BlendBatchBody(BlendBatch& b, int32_t n) {
  if constexpr (kRule == BlendRule::kSoftLight) {
    // m = Dc / Da per channel first, then their roots, then the rule; the terms are recomputed
    // by the same expressions, so every value matches the one-pixel rule.
    for (int32_t j = 0; j < n; ++j) {
      const BlendTerms t =
          MakeBlendTerms(b.s0[j], b.s1[j], b.s2[j], b.a[j], b.d0[j], b.d1[j], b.d2[j], b.da[j]);
      b.m0[j] = b.r0[j] = SoftLightM(t.Dc0, t.Da);
      b.m1[j] = b.r1[j] = SoftLightM(t.Dc1, t.Da);
      b.m2[j] = b.r2[j] = SoftLightM(t.Dc2, t.Da);
    }
    SqrtLanes(b.r0, n);
    SqrtLanes(b.r1, n);
    SqrtLanes(b.r2, n);
    for (int32_t j = 0; j < n; ++j) {
      const BlendTerms t =
          MakeBlendTerms(b.s0[j], b.s1[j], b.s2[j], b.a[j], b.d0[j], b.d1[j], b.d2[j], b.da[j]);
      const BlendedPixel r =
          SoftLightPixel(t, b.m0[j], b.m1[j], b.m2[j], b.r0[j], b.r1[j], b.r2[j]);
      b.o0[j] = r.c0;
      b.o1[j] = r.c1;
      b.o2[j] = r.c2;
      b.oa[j] = r.a;
    }
    return;
  }
  for (int32_t j = 0; j < n; ++j) {
    const BlendedPixel r =
        BlendPixel<kRule>(b.s0[j], b.s1[j], b.s2[j], b.a[j], b.d0[j], b.d1[j], b.d2[j], b.da[j]);
    b.o0[j] = r.c0;
    b.o1[j] = r.c1;
    b.o2[j] = r.c2;
    b.oa[j] = r.a;
  }
}

template <BlendRule kRule>
void BlendBatchBaseline(BlendBatch& b, int32_t n) {
  BlendBatchBody<kRule>(b, n);
}

#if defined(__x86_64__) || defined(__i386__)
// AVX2 without FMA: wider registers, the same IEEE operations in the same order.
template <BlendRule kRule>
__attribute__((target("avx2"))) void BlendBatchAvx2(BlendBatch& b, int32_t n) {
  BlendBatchBody<kRule>(b, n);
}
#define PMR_HAVE_AVX2_BATCHES 1
#endif

#define PMR_BATCH_TABLE(fn)                                                               \
  {                                                                                       \
    fn<BlendRule::kNormal>, fn<BlendRule::kMultiply>, fn<BlendRule::kScreen>,             \
        fn<BlendRule::kDarken>, fn<BlendRule::kLighten>, fn<BlendRule::kDifference>,      \
        fn<BlendRule::kExclusion>, fn<BlendRule::kOverlay>, fn<BlendRule::kHardLight>,    \
        fn<BlendRule::kSoftLight>, fn<BlendRule::kDodge>, fn<BlendRule::kBurn>,           \
        fn<BlendRule::kAdd>, fn<BlendRule::kSubtract>, fn<BlendRule::kColor>,             \
        fn<BlendRule::kHardColor>, fn<BlendRule::kTexturize>, fn<BlendRule::kTexturize2>, \
        fn<BlendRule::kTexturize3>                                                        \
  }

constexpr BatchFn kBaselineBatches[kBlendRuleCount] = PMR_BATCH_TABLE(BlendBatchBaseline);
#ifdef PMR_HAVE_AVX2_BATCHES
constexpr BatchFn kAvx2Batches[kBlendRuleCount] = PMR_BATCH_TABLE(BlendBatchAvx2);
#endif
#undef PMR_BATCH_TABLE

BatchFn BatchFor(BlendRule rule) {
  const auto index = static_cast<int>(rule);
#ifdef PMR_HAVE_AVX2_BATCHES
  if (platform::CpuAtLeast(platform::CpuLevel::kAvx2)) return kAvx2Batches[index];
#endif
  return kBaselineBatches[index];
}

// One row of an ordinary mode (0..22). Same steps as CompositePixel without the alpha pre-pass.
template <bool kClip>
void OrdinaryRow(const uint16_t* s, const uint16_t* clip, uint16_t* d, int32_t width,
                 const CompositeSetup& k, BatchFn blend, BlendBatch& b) {
  const bool opaqueCopies = (kMergeModes[k.mode].flags & kOpaqueCopyFlag) != 0;
  const bool clearsOverEmpty = (kMergeModes[k.mode].flags & kClearsOverEmpty) != 0;
  const int32_t factor = k.opacityFactor;
  const bool writeAlpha = !k.alphaLock;
  // Without mask, opacity or lock an opaque Normal pixel is copied whole, alpha included, so a
  // run of them is one block copy.
  const bool copyRuns = opaqueCopies && !kClip && factor == 256 && writeAlpha;

  for (int32_t x0 = 0; x0 < width; x0 += kBatch) {
    const int32_t x1 = std::min(width, x0 + kBatch);
    int32_t n = 0;
    for (int32_t x = x0; x < x1; ++x) {
      const uint16_t* sp = s + 4 * x;
      const int32_t sa = sp[3];
      if (sa == 0) {
        while (x + 1 < x1 && s[4 * (x + 1) + 3] == 0) ++x;  // runs of clear pixels
        continue;
      }
      if (copyRuns && sa >= 65280) {
        int32_t end = x + 1;
        while (end < x1 && s[4 * end + 3] >= 65280) ++end;
        std::memmove(d + 4 * x, sp, std::size_t(end - x) * 8);  // memmove: source may be dest
        x = end - 1;
        continue;
      }
      const int32_t a = ((kClip ? MaskedAlpha(sa, clip + 4 * x) : sa) * factor) >> 8;
      uint16_t* dp = d + 4 * x;
      const int32_t da = dp[3];
      if (da == 0) {
        if (a == 0 || clearsOverEmpty) {
          dp[0] = dp[1] = dp[2] = 0;
          if (writeAlpha) dp[3] = 0;
        } else {
          dp[0] = sp[0];
          dp[1] = sp[1];
          dp[2] = sp[2];
          if (writeAlpha) dp[3] = static_cast<uint16_t>(a);
        }
        continue;
      }
      if (a == 0) continue;
      if (opaqueCopies && a >= 65280) {
        dp[0] = sp[0];
        dp[1] = sp[1];
        dp[2] = sp[2];
        if (writeAlpha) dp[3] = static_cast<uint16_t>(a);
        continue;
      }
      b.column[n] = x;
      b.s0[n] = sp[0];
      b.s1[n] = sp[1];
      b.s2[n] = sp[2];
      b.a[n] = a;
      b.d0[n] = dp[0];
      b.d1[n] = dp[1];
      b.d2[n] = dp[2];
      b.da[n] = da;
      ++n;
    }
    if (n == 0) continue;
    blend(b, n);
    for (int32_t j = 0; j < n; ++j) {
      uint16_t* dp = d + 4 * b.column[j];
      dp[0] = static_cast<uint16_t>(b.o0[j]);
      dp[1] = static_cast<uint16_t>(b.o1[j]);
      dp[2] = static_cast<uint16_t>(b.o2[j]);
      if (writeAlpha) dp[3] = static_cast<uint16_t>(b.oa[j]);
    }
  }
}

}  // namespace

void CompositeFast(const CompositeJob& job) {
  const CompositeSetup& k = job.setup;
  if (k.alphaMode) {
    CompositeReference(job);
    return;
  }
  const NormalRowKernel rowKernel = job.clip                       ? nullptr
                                    : k.rule == BlendRule::kNormal ? NormalRowVector()
                                                                   : RuleRowVector(k.rule);
  if (rowKernel) {
    for (int32_t y = 0; y < job.height; ++y) {
      rowKernel(job.source + y * job.sourceStride, job.destination + y * job.destStride, job.width,
                k);
    }
    return;
  }
  const BatchFn blend = BatchFor(k.rule);
  BlendBatch batch;
  for (int32_t y = 0; y < job.height; ++y) {
    const uint16_t* s = job.source + y * job.sourceStride;
    uint16_t* d = job.destination + y * job.destStride;
    if (job.clip) {
      OrdinaryRow<true>(s, job.clip + y * job.sourceStride, d, job.width, k, blend, batch);
    } else {
      OrdinaryRow<false>(s, nullptr, d, job.width, k, blend, batch);
    }
  }
}

}  // namespace render
