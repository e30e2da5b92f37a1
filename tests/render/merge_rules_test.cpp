// Every merge mode against the independent model of the rule, pixel by pixel, through the
// compositing routine.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "render/composite_layer_rect.h"
#include "render/composite_model.h"
#include "support/engine_fixture.h"

namespace {

using composite_model::Options;
using composite_model::Outcome;
using composite_model::Pixel;

// Values where the rules change their minds, and the scale ends.
constexpr uint16_t kEdgeValues[] = {0,     1,     255,   256,   8160,  8190,  8191,  9214,  9215,
                                    12286, 12287, 32511, 32512, 32513, 32766, 32767, 32768, 36862,
                                    36863, 65278, 65279, 65280, 65281, 65534, 65535};

class PixelSource {
 public:
  explicit PixelSource(uint32_t seed) : rng_(seed) {}
  uint16_t Value() {
    if (rng_() % 3 == 0) return kEdgeValues[rng_() % std::size(kEdgeValues)];
    return static_cast<uint16_t>(rng_() & 0xFFFF);
  }
  Pixel Next() { return {Value(), Value(), Value(), Value()}; }
  uint32_t Raw() { return rng_(); }

 private:
  std::mt19937 rng_;
};

struct Case {
  Options options;
  std::vector<Pixel> source, dest, clip;
};

std::ostream& operator<<(std::ostream& out, const Pixel& p) {
  return out << '(' << p.r << ',' << p.g << ',' << p.b << ',' << p.a << ')';
}

std::string Describe(const Options& o, const Pixel& s, const Pixel& d, const Pixel& c,
                     const uint16_t* got, const Pixel& want) {
  std::ostringstream out;
  out << "mode " << o.mode << " opacity " << o.opacity << " lock " << o.alphaLock << " same "
      << o.sameAlphaMode << " clip " << o.clipApplied << " K " << o.K << " s " << s << " d " << d
      << " m " << c << " got " << Pixel{got[0], got[1], got[2], got[3]} << " want " << want;
  return out.str();
}

// Runs one row through CompositeLayerRect and compares every pixel with the model: exact where
// the pixel is copied or skipped, within one unit where it is blended. Returns the mismatches.
int CompareRow(const Case& c, std::string* firstFailure) {
  const int n = static_cast<int>(c.source.size());
  std::vector<uint16_t> src(4 * n), dst(4 * n), clip(4 * n);
  for (int i = 0; i < n; ++i) {
    const Pixel& s = c.source[i];
    const Pixel& d = c.dest[i];
    const Pixel& m = c.clip[i];
    uint16_t* sp = &src[4 * i];
    uint16_t* dp = &dst[4 * i];
    uint16_t* mp = &clip[4 * i];
    sp[0] = s.r, sp[1] = s.g, sp[2] = s.b, sp[3] = s.a;
    dp[0] = d.r, dp[1] = d.g, dp[2] = d.b, dp[3] = d.a;
    mp[0] = m.r, mp[1] = m.g, mp[2] = m.b, mp[3] = m.a;
  }
  engine::State().alphaLayerOpacity = static_cast<uint16_t>(c.options.K);
  render::CompositeLayerRect(src.data(), 0, 0, n, 1, 4 * n, clip.data(), dst.data(), 0, 0, 4 * n,
                             c.options.mode, c.options.clipApplied ? 42 : 0, c.options.opacity,
                             c.options.alphaLock, c.options.sameAlphaMode);
  int failures = 0;
  for (int i = 0; i < n; ++i) {
    const Outcome want = composite_model::Composite(c.source[i], c.dest[i], c.clip[i], c.options);
    const uint16_t* got = &dst[4 * i];
    const uint16_t expect[4] = {want.pixel.r, want.pixel.g, want.pixel.b, want.pixel.a};
    bool ok = true;
    for (int ch = 0; ch < 4; ++ch) {
      const int diff = std::abs(int(got[ch]) - int(expect[ch]));
      // Soft Light changes form at m = 1/8 (destination 8160) without meeting itself there;
      // which side a value exactly on that edge falls depends on the precision.
      const bool softEdge = c.options.mode == 10 && ch < 3 &&
                            (ch == 0   ? c.dest[i].r
                             : ch == 1 ? c.dest[i].g
                                       : c.dest[i].b) == 8160;
      if (diff > (want.blended ? 1 : 0) && !softEdge) ok = false;
    }
    if (!ok) {
      if (failures++ == 0 && firstFailure) {
        *firstFailure = Describe(c.options, c.source[i], c.dest[i], c.clip[i], got, want.pixel);
      }
    }
  }
  return failures;
}

class MergeRules : public palmora_test::EngineTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    render::ForceReferenceCompositeForTesting(GetParam());
  }
  void TearDown() override {
    render::ForceReferenceCompositeForTesting(false);
    EngineTest::TearDown();
  }
};

// Each mode, with the same-alpha-mode flag clear and set, the alpha lock off and on, opacities
// around the 255 threshold and a random one, with and without a layer mask, over random pixel
// pairs that are a third edge values.
TEST_P(MergeRules, EveryModeMatchesTheModel) {
  PixelSource pixels(20240611);
  const int opacities[] = {0, 254, 255, 256, -1};
  const int alphaLayerOpacities[] = {65535, 40000, 0};
  for (int mode = 0; mode < 45; ++mode) {
    int failures = 0;
    std::string first;
    for (int same = 0; same < 2; ++same) {
      for (int lock = 0; lock < 2; ++lock) {
        for (int opacity : opacities) {
          for (int clipped = 0; clipped < 2; ++clipped) {
            Case c;
            c.options.mode = mode;
            c.options.sameAlphaMode = same;
            c.options.alphaLock = lock;
            c.options.opacity = opacity >= 0 ? opacity : int(pixels.Raw() % 257);
            c.options.clipApplied = clipped;
            c.options.K = alphaLayerOpacities[pixels.Raw() % 3];
            for (int i = 0; i < 160; ++i) {
              c.source.push_back(pixels.Next());
              c.dest.push_back(pixels.Next());
              c.clip.push_back(pixels.Next());
            }
            failures += CompareRow(c, first.empty() ? &first : nullptr);
          }
        }
      }
    }
    EXPECT_EQ(failures, 0) << "first: " << first;
  }
}

// Every alpha of source and destination in the edge list against every other, in the modes whose
// paths turn on the alpha alone.
TEST_P(MergeRules, EdgeAlphasMeetInEveryMode) {
  for (int mode = 0; mode < 45; ++mode) {
    for (int same = 0; same < 2; ++same) {
      Case c;
      c.options.mode = mode;
      c.options.sameAlphaMode = same;
      c.options.K = 50000;
      for (uint16_t sa : kEdgeValues) {
        for (uint16_t da : kEdgeValues) {
          c.source.push_back({65535, 32768, 0, sa});
          c.dest.push_back({1000, 65280, 65535, da});
          c.clip.push_back({0, 0, 0, 0});
        }
      }
      std::string first;
      EXPECT_EQ(CompareRow(c, &first), 0) << first;
    }
  }
}

// Alpha 65535 makes the Lum modes lighten by slightly more than 1 (32768 / 32767, or 28673 / 28672
// for Lum3 and Lum4), which carries dark channels past 65535. They are stored as 65535 instead of
// wrapping round to black.
TEST_P(MergeRules, LightenPastFullScaleStoresFullScale) {
  for (int mode = 35; mode <= 39; ++mode) {
    uint16_t source[4] = {0, 30000, 65535, 65535};
    uint16_t dest[4] = {0, 0, 0, 0};
    render::CompositeLayerRect(source, 0, 0, 1, 1, 4, nullptr, dest, 0, 0, 4, mode, 0, 256, 0, 0);
    EXPECT_EQ(dest[0], 65535) << mode;
    EXPECT_EQ(dest[1], 65535) << mode;
    EXPECT_EQ(dest[2], 65535) << mode;
    EXPECT_EQ(dest[3], 65535) << mode;
  }
}

// An opacity below 0 from a caller acts as 0 (alpha >> 8), not as a negative factor.
TEST_P(MergeRules, NegativeOpacityActsAsZero) {
  uint16_t source[4] = {10, 20, 30, 65535};
  uint16_t dest[4] = {0, 0, 0, 0};
  render::CompositeLayerRect(source, 0, 0, 1, 1, 4, nullptr, dest, 0, 0, 4, 0, 0, -40, 0, 0);
  EXPECT_EQ(dest[3], 255);
  EXPECT_EQ(dest[0], 10);
}

INSTANTIATE_TEST_SUITE_P(FastAndReference, MergeRules, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Reference" : "Fast"; });

}  // namespace
