// The vector kernel for the Normal rule against the plain per-pixel reference loop: every row
// length from 1 to 37 (whole groups of four and the scalar tail), alphas at and around the edges
// of the rule (0, 255, 65279, 65280, 65535), colour channels above 65280, every opacity class and
// the alpha lock, in separate buffers and in place.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "render/composite_internal.h"
#include "render/composite_layer_rect.h"
#include "support/engine_fixture.h"

namespace {

constexpr uint16_t kEdgeAlphas[] = {0, 1, 255, 256, 65279, 65280, 65281, 65535};

// Random pixels in runs of one kind (clear, opaque, edge alphas, random), so that groups of four
// are sometimes uniform (skipped or copied whole) and sometimes mixed.
std::vector<uint16_t> Pixels(std::mt19937& rng, int count) {
  std::vector<uint16_t> p(std::size_t(count) * 4);
  int run = 0;
  uint32_t kind = 0;
  for (int i = 0; i < count; ++i) {
    if (run-- <= 0) {
      run = int(rng() % 9);
      kind = rng() % 4;
    }
    for (int c = 0; c < 3; ++c)
      p[4 * i + c] = rng() % 5 == 0 ? uint16_t(65281 + rng() % 255) : uint16_t(rng());
    p[4 * i + 3] = kind == 0   ? 0
                   : kind == 1 ? 65535
                   : kind == 2 ? kEdgeAlphas[rng() % std::size(kEdgeAlphas)]
                               : uint16_t(rng());
  }
  return p;
}

struct RowRun {
  int mode, opacity;
  uint8_t lock;
};

// One row through CompositeLayerRect, on the fast path or the reference loop.
std::vector<uint16_t> Composite(const RowRun& r, const std::vector<uint16_t>& source,
                                std::vector<uint16_t> dest, int width, bool reference) {
  render::ForceReferenceCompositeForTesting(reference);
  render::CompositeLayerRect(source.data(), 0, 0, width, 1, width * 4, nullptr, dest.data(), 0, 0,
                             width * 4, r.mode, 0, r.opacity, r.lock, 0);
  render::ForceReferenceCompositeForTesting(false);
  return dest;
}

class NormalRow : public palmora_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (!render::NormalRowVector()) GTEST_SKIP() << "the processor has no vector kernel";
  }
};

TEST_F(NormalRow, MatchesTheReferenceOnEveryRowLength) {
  std::mt19937 rng(2024);
  for (int mode : {0, 13, 14, 22}) {
    for (int opacity : {0, 1, 128, 254, 255, 256}) {
      for (uint8_t lock : {0, 1}) {
        const RowRun r{mode, opacity, lock};
        for (int width = 1; width <= 37; ++width) {
          // A spare pixel after the row shows any write past its end.
          const auto source = Pixels(rng, width);
          const auto dest = Pixels(rng, width + 1);
          ASSERT_EQ(Composite(r, source, dest, width, false),
                    Composite(r, source, dest, width, true))
              << "mode " << mode << " opacity " << opacity << " lock " << int(lock) << " width "
              << width;
        }
      }
    }
  }
}

TEST_F(NormalRow, MatchesTheReferenceInPlace) {
  // Source and destination the same pixels: each pixel is read before it is written.
  std::mt19937 rng(7);
  for (int opacity : {128, 256}) {
    for (int width : {4, 13, 64}) {
      auto fast = Pixels(rng, width);
      auto reference = fast;
      for (bool ref : {false, true}) {
        auto& plane = ref ? reference : fast;
        render::ForceReferenceCompositeForTesting(ref);
        render::CompositeLayerRect(plane.data(), 0, 0, width, 1, width * 4, nullptr, plane.data(),
                                   0, 0, width * 4, 0, 0, opacity, 0, 0);
      }
      render::ForceReferenceCompositeForTesting(false);
      ASSERT_EQ(fast, reference) << "opacity " << opacity << " width " << width;
    }
  }
}

TEST_F(NormalRow, BlendedPixelsMatchOverManyRandomPairs) {
  // Only partly covered pixels over partly covered destinations: every one takes the blend.
  std::mt19937 rng(99);
  const int width = 1 << 16;
  std::vector<uint16_t> source(width * 4), dest(width * 4);
  for (int i = 0; i < width * 4; ++i) {
    source[i] = uint16_t(rng());
    dest[i] = uint16_t(rng());
    if (i % 4 == 3) {
      source[i] = uint16_t(1 + rng() % 65279);
      dest[i] = uint16_t(1 + rng() % 65535);
    }
  }
  for (int opacity : {100, 256}) {
    const RowRun r{0, opacity, 0};
    ASSERT_EQ(Composite(r, source, dest, width, false), Composite(r, source, dest, width, true))
        << "opacity " << opacity;
  }
}

}  // namespace
