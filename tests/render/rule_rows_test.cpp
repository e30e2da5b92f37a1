// The vector kernels for Multiply, Screen, Overlay, Soft Light, Darken, Lighten, Add, Subtract,
// Dodge and Burn against the plain per-pixel reference loop: every pair of edge values (channels
// at and around 0, mid-grey, 65280 and 65535, alphas at the rule's edges), many random blended
// pairs, every channel value over opaque alphas, every source and every destination alpha
// (paired by a shuffle) under each opacity class and the lock, runs of opaque, clear and soft
// pixels as painted layers have them, every row length from 1 to 21 with the opacity classes and
// the alpha lock, and in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "render/composite_internal.h"
#include "render/composite_layer_rect.h"
#include "support/engine_fixture.h"

namespace {

// Mode numbers of the ten rules.
constexpr int kModes[] = {1, 2, 3, 4, 8, 10, 11, 12, 15, 16};

std::vector<uint16_t> Composite(int mode, int opacity, uint8_t lock,
                                const std::vector<uint16_t>& source, std::vector<uint16_t> dest,
                                int width, bool reference) {
  render::ForceReferenceCompositeForTesting(reference);
  render::CompositeLayerRect(source.data(), 0, 0, width, 1, width * 4, nullptr, dest.data(), 0, 0,
                             width * 4, mode, 0, opacity, lock, 0);
  render::ForceReferenceCompositeForTesting(false);
  return dest;
}

class RuleRows : public palmora_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (!render::RuleRowVector(render::BlendRule::kMultiply))
      GTEST_SKIP() << "the processor has no vector kernel";
  }
};

TEST_F(RuleRows, EveryPairOfEdgeValuesMatchesTheScalarRule) {
  const uint16_t channels[] = {0, 1, 8160, 32639, 32640, 32641, 65279, 65280, 65281, 65535};
  const uint16_t alphas[] = {1, 255, 8192, 32767, 32768, 65279, 65280, 65535};
  std::vector<uint16_t> source, dest;
  // Channel 0 walks the edge values, channels 1 and 2 take others so that the three differ.
  for (int sc = 0; sc < 10; ++sc)
    for (uint16_t sa : alphas)
      for (int dc = 0; dc < 10; ++dc)
        for (uint16_t da : alphas) {
          source.insert(source.end(),
                        {channels[sc], channels[(sc + 3) % 10], channels[(sc + 7) % 10], sa});
          dest.insert(dest.end(),
                      {channels[dc], channels[(dc + 5) % 10], channels[(dc + 1) % 10], da});
        }
  const int width = int(source.size() / 4);
  for (int mode : kModes) {
    for (int opacity : {256, 100}) {
      ASSERT_EQ(Composite(mode, opacity, 0, source, dest, width, false),
                Composite(mode, opacity, 0, source, dest, width, true))
          << "mode " << mode << " opacity " << opacity;
    }
  }
}

TEST_F(RuleRows, RandomBlendedPairsMatchTheScalarRule) {
  std::mt19937 rng(31);
  const int width = 1 << 15;
  std::vector<uint16_t> source(width * 4), dest(width * 4);
  for (int i = 0; i < width * 4; ++i) {
    source[i] = uint16_t(rng());
    dest[i] = uint16_t(rng());
    if (i % 4 == 3) {
      source[i] = uint16_t(1 + rng() % 65535);
      dest[i] = uint16_t(1 + rng() % 65535);
    }
  }
  for (int mode : kModes) {
    ASSERT_EQ(Composite(mode, 256, 0, source, dest, width, false),
              Composite(mode, 256, 0, source, dest, width, true))
        << "mode " << mode;
  }
}

TEST_F(RuleRows, EveryRowLengthOpacityAndLockMatches) {
  // Clear and transparent pixels on both sides, so that skips, copies, clears and blends meet in
  // one group of four; a spare pixel after the row shows any write past its end.
  std::mt19937 rng(5);
  const uint16_t alphaKinds[] = {0, 0, 65535, 1, 65280};
  auto pixels = [&](int count) {
    std::vector<uint16_t> p(std::size_t(count) * 4);
    for (int i = 0; i < count * 4; ++i) p[i] = uint16_t(rng());
    for (int i = 0; i < count; ++i) {
      const uint32_t kind = rng() % 7;
      if (kind < 5) p[4 * i + 3] = alphaKinds[kind];
    }
    return p;
  };
  for (int mode : kModes) {
    for (int opacity : {0, 1, 254, 255, 256}) {
      for (uint8_t lock : {0, 1}) {
        for (int width = 1; width <= 21; ++width) {
          const auto source = pixels(width);
          const auto dest = pixels(width + 1);
          ASSERT_EQ(Composite(mode, opacity, lock, source, dest, width, false),
                    Composite(mode, opacity, lock, source, dest, width, true))
              << "mode " << mode << " opacity " << opacity << " lock " << int(lock) << " width "
              << width;
        }
      }
    }
  }
}

TEST_F(RuleRows, RunsOfOpaqueClearAndPartialPixelsMatchTheScalarRule) {
  // Painted layers come in runs: whole groups of opaque, clear or soft pixels on either side, so
  // that the kernels' shortcuts for groups whose every blended pixel has an opaque source or an
  // opaque destination run, next to groups that mix the cases. Channels cover the whole 16-bit
  // range, values read above 1.0 included.
  std::mt19937 rng(77);
  const int width = 1 << 14;
  auto layer = [&] {
    std::vector<uint16_t> p(std::size_t(width) * 4);
    for (int x = 0; x < width;) {
      const int run = 1 + int(rng() % 40);
      const uint32_t kind = rng() % 5;
      for (int i = 0; i < run && x < width; ++i, ++x) {
        for (int c = 0; c < 3; ++c) p[4 * x + c] = uint16_t(rng());
        const uint16_t alphas[] = {0, 65535, uint16_t(65280 + rng() % 256),
                                   uint16_t(1 + rng() % 65535), uint16_t(65535 - rng() % 2)};
        p[4 * x + 3] = alphas[kind];
      }
    }
    return p;
  };
  const auto source = layer();
  const auto dest = layer();
  for (int mode : kModes) {
    for (int opacity : {256, 255, 254, 128}) {
      for (uint8_t lock : {0, 1}) {
        ASSERT_EQ(Composite(mode, opacity, lock, source, dest, width, false),
                  Composite(mode, opacity, lock, source, dest, width, true))
            << "mode " << mode << " opacity " << opacity << " lock " << int(lock);
      }
    }
  }
}

TEST_F(RuleRows, EveryChannelValueOnOpaqueAlphasMatchesTheScalarRule) {
  // Every 16-bit value on each side against a shuffled other side, with the source, the
  // destination or both opaque in whole groups: the alphas the kernels treat as exactly 1.
  std::mt19937 rng(12);
  const int width = 1 << 16;
  std::vector<uint16_t> values(width);
  for (int v = 0; v < width; ++v) values[v] = uint16_t(v);
  std::vector<uint16_t> shuffled = values;
  std::shuffle(shuffled.begin(), shuffled.end(), rng);
  const uint16_t soft = 40000;
  for (int sides = 0; sides < 3; ++sides) {
    const uint16_t sourceAlpha = sides == 2 ? soft : 65535;
    const uint16_t destAlpha = sides == 1 ? soft : 65535;
    std::vector<uint16_t> source(std::size_t(width) * 4), dest(std::size_t(width) * 4);
    for (int x = 0; x < width; ++x) {
      const uint16_t mine = values[x], other = shuffled[x];
      source[4 * x + 0] = mine;
      source[4 * x + 1] = other;
      source[4 * x + 2] = uint16_t(mine ^ 0x5A5A);
      source[4 * x + 3] = sourceAlpha;
      dest[4 * x + 0] = other;
      dest[4 * x + 1] = mine;
      dest[4 * x + 2] = uint16_t(other + 12345);
      dest[4 * x + 3] = destAlpha;
    }
    for (int mode : kModes) {
      ASSERT_EQ(Composite(mode, 256, 0, source, dest, width, false),
                Composite(mode, 256, 0, source, dest, width, true))
          << "mode " << mode << " sides " << sides;
    }
  }
}

TEST_F(RuleRows, EveryAlphaOnEitherSideWithEachOpacityAndTheLockMatchesTheScalarRule) {
  // Every source alpha, each over a destination alpha from a shuffled sweep of all 65536, under
  // the opacity classes and the alpha lock: the scaled alpha, the choice between blend, copy and
  // clear, the result alpha and its reciprocal all depend on the pair. Channels cycle through
  // values at the rules' edges, values read above 1.0 included.
  std::mt19937 rng(2024);
  const int width = 1 << 16;
  std::vector<uint16_t> destAlphas(width);
  for (int v = 0; v < width; ++v) destAlphas[v] = uint16_t(v);
  std::shuffle(destAlphas.begin(), destAlphas.end(), rng);
  const uint16_t channels[] = {0,     1,     255,   8159,  8160,  16320, 32639,
                               32640, 32641, 49000, 65279, 65280, 65281, 65535};
  const int count = int(std::size(channels));
  std::vector<uint16_t> source(std::size_t(width) * 4), dest(std::size_t(width) * 4);
  for (int x = 0; x < width; ++x) {
    for (int c = 0; c < 3; ++c) {
      source[4 * x + c] = channels[(x + 5 * c) % count];
      dest[4 * x + c] = channels[(x / count + 3 * c) % count];
    }
    source[4 * x + 3] = uint16_t(x);
    dest[4 * x + 3] = destAlphas[x];
  }
  for (int mode : kModes) {
    for (int opacity : {256, 255, 254, 128, 0}) {
      for (uint8_t lock : {0, 1}) {
        ASSERT_EQ(Composite(mode, opacity, lock, source, dest, width, false),
                  Composite(mode, opacity, lock, source, dest, width, true))
            << "mode " << mode << " opacity " << opacity << " lock " << int(lock);
      }
    }
  }
}

TEST_F(RuleRows, InPlaceMatches) {
  // Source and destination the same pixels: each is read before it is written.
  std::mt19937 rng(8);
  for (int mode : kModes) {
    std::vector<uint16_t> fast(64 * 4);
    for (auto& v : fast) v = uint16_t(rng());
    auto reference = fast;
    for (bool ref : {false, true}) {
      auto& plane = ref ? reference : fast;
      render::ForceReferenceCompositeForTesting(ref);
      render::CompositeLayerRect(plane.data(), 0, 0, 64, 1, 64 * 4, nullptr, plane.data(), 0, 0,
                                 64 * 4, mode, 0, 256, 0, 0);
    }
    render::ForceReferenceCompositeForTesting(false);
    ASSERT_EQ(fast, reference) << "mode " << mode;
  }
}

}  // namespace
