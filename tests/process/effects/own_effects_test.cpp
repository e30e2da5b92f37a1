// The own effects against the reference model, on small random pictures: opaque and
// semi-transparent, chained and fresh, with sliders and options across their ranges.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/parallel_rows.h"
#include "process/effects/own_effect_model.h"
#include "process/effects/run_own_effect.h"

namespace {

using effects_model::Args;

enum class Alpha { kOpaque, kMixed };

std::vector<uint8_t> RandomPicture(int w, int h, Alpha alpha, std::mt19937& rng) {
  std::vector<uint8_t> px(std::size_t(w) * h * 4);
  // Runs of similar colour with sharp steps, so that thresholds both hold and fail.
  std::uniform_int_distribution<int> byte(0, 255), jitter(-12, 12), coin(0, 5);
  int base[4] = {byte(rng), byte(rng), byte(rng), 255};
  for (std::size_t i = 0; i < px.size(); i += 4) {
    if (coin(rng) == 0)
      for (int c = 0; c < 3; ++c) base[c] = byte(rng);
    for (int c = 0; c < 3; ++c) px[i + c] = uint8_t(std::clamp(base[c] + jitter(rng), 0, 255));
    const int a = coin(rng);
    px[i + 3] = alpha == Alpha::kOpaque ? 255 : a == 0 ? 0 : a == 1 ? 255 : uint8_t(byte(rng));
  }
  return px;
}

process::OwnEffectArguments ToEngine(const Args& a) {
  process::OwnEffectArguments e;
  e.chain = a.chain;
  std::copy(std::begin(a.sliders), std::end(a.sliders), e.sliders);
  std::copy(std::begin(a.options), std::end(a.options), e.options);
  e.red = a.red, e.green = a.green, e.blue = a.blue;
  return e;
}

// Runs the engine's effect on the caller-buffer entry and the model on copies of the same
// pictures; both destinations and the (possibly rewritten) sources must agree byte for byte.
void ExpectMatchesModel(const std::string& name, const Args& args, int w, int h, Alpha alpha,
                        uint32_t seed) {
  std::mt19937 rng(seed);
  effects_model::Run model;
  model.w = w, model.h = h;
  model.src = RandomPicture(w, h, alpha, rng);
  model.dst = RandomPicture(w, h, alpha, rng);  // what a previous step left, for chained runs
  std::vector<uint8_t> src = model.src, dst = model.dst;
  ASSERT_TRUE(
      process::RunOwnEffectOnBuffers(name.c_str(), src.data(), dst.data(), w, h, ToEngine(args)));
  effects_model::RunModel(name, args, model);
  ASSERT_EQ(dst, model.dst) << name << " " << w << "x" << h << " seed " << seed << " chain "
                            << args.chain;
  ASSERT_EQ(src, model.src) << name << " source";
}

Args Make(std::initializer_list<int> sliders, std::initializer_list<int> options = {},
          int chain = 0) {
  Args a;
  a.chain = chain;
  int i = 0;
  for (int s : sliders) a.sliders[i++] = s;
  i = 0;
  for (int o : options) a.options[i++] = o;
  return a;
}

struct Case {
  const char* name;
  Args args;
};

// Sizes include pictures too small for a pass to find a pair (1 and 2 pixels across).
const int kSizes[][2] = {{1, 1}, {2, 3}, {3, 2}, {5, 4}, {9, 7}, {16, 11}, {23, 17}};

void RunCases(const std::vector<Case>& cases) {
  uint32_t seed = 1;
  for (const Case& c : cases)
    for (const auto& size : kSizes)
      for (Alpha alpha : {Alpha::kOpaque, Alpha::kMixed})
        for (int chain : {0, 1}) {
          Args a = c.args;
          a.chain = chain;
          ExpectMatchesModel(c.name, a, size[0], size[1], alpha, seed++);
          if (::testing::Test::HasFatalFailure()) return;
        }
}

TEST(OwnEffects, SmearsMatchTheModel) {
  RunCases({
      {"Value Blur", Make({0, 0})},
      {"Value Blur", Make({1000, 1000})},
      {"Value Blur", Make({300, 850})},
      {"Noise Reduction", Make({600, 200})},
      {"Noise Reduction", Make({1000, 1000})},
      {"Noise Reduction RGB", Make({700, 100, 300, 400, 1000, 60})},
      {"Anti Alias", Make({400, 700, 800, 600})},
      {"Anti Alias", Make({1000, 0, 1000, 1000})},
  });
}

TEST(OwnEffects, PointEffectsMatchTheModel) {
  RunCases({
      {"Grayscale", Make({})},
      {"Invert", Make({})},
      {"Basic Threshold", Make({0})},
      {"Basic Threshold", Make({503})},
      {"Hyper Contrast", Make({1000})},
      {"Hyper Contrast", Make({0})},
      {"Hyper Contrast", Make({640})},
      {"Channel", Make({}, {0, 0, 1, 0, 0})},
      {"Channel", Make({}, {0, 0, 1, 1, 1})},
      {"Channel", Make({}, {0, 0, 0, 1, 0})},
      {"Clamp", Make({300, 100, 700, 900}, {0, 0, 1, 1, 1, 1})},
      {"Clamp", Make({500, 0, 200, 1000}, {0, 0, 1, 0, 1, 0})},
      {"Adjust Lab", Make({500, 500, 500})},
      {"Adjust Lab", Make({700, 200, 900})},
      {"Fader", Make({200, 900, 1000, 0}, {0, 0, 0, 1, 1, 1})},
      {"Fader", Make({500, 500, 300, 800}, {0, 0, 1, 0, 0, 1})},
      {"Fader", Make({700, 100, 500, 500}, {0, 0, 1, 1, 0, 0})},
  });
}

TEST(OwnEffects, NeighbourhoodEffectsMatchTheModel) {
  RunCases({
      {"Detail Blur", Make({0})},
      {"Detail Blur", Make({80})},
      {"Adaptive Blur", Make({900, 500, 250})},
      {"Adaptive Blur", Make({1000, 1000, 0})},
      {"Bas Relief", Make({300}, {0})},
      {"Bas Relief", Make({800}, {1})},
      {"Bas Relief", Make({500}, {2})},
      {"Bas Relief", Make({500}, {7})},
      {"Line Art Cleaner", Make({500, 60})},
      {"Line Art Cleaner", Make({800, 0})},
  });
}

TEST(OwnEffects, FramingEffectsMatchTheModel) {
  RunCases({
      {"Borderize", Make({100, 500})},
      {"Borderize", Make({300, 1000})},
      {"Borderize", Make({600, 700})},
      {"Borderize", Make({900, 1000})},
      {"Borderize", Make({500, 1000})},  // the pick point just off the right edge reads black
      {"Reflection", Make({400, 1000, 500, 250}, {0, 0, 1})},
      {"Reflection", Make({400, 800, 1000, 250}, {0, 0, 0, 1})},
      {"Reflection", Make({600, 900, 700, 100}, {0, 0, 0, 0})},
      {"Reflection", Make({0, 1000, 1000, 500}, {0, 0, 0, 0})},
      // Rectangle, sharp edge: the weight plane is exactly 0 or 1.
      {"Vignette", Make({0, 400, 900, 0}, {0, 0, 1, 0, 0, 1, 1})},
      {"Vignette", Make({200, 400, 900, 0}, {0, 0, 1, 1, 1, 1, 1})},
      {"Vignette", Make({200, 400, 900, 0}, {0, 0, 0, 0, 0, 1, 0})},
  });
}

}  // namespace

namespace {

// Bands of rows (or columns) in parallel must give the serial result bit for bit: the same
// comparisons with the work forced into three bands on pictures large enough to split.
TEST(OwnEffects, ParallelBandsMatchTheModel) {
  engine::SetRowBandThreadsForTesting(3);
  uint32_t seed = 900;
  for (const char* name :
       {"Value Blur", "Noise Reduction", "Noise Reduction RGB", "Anti Alias", "Hyper Contrast",
        "Adjust Lab", "Fader", "Bas Relief", "Vignette", "Clamp", "Channel", "Grayscale"}) {
    for (int chain : {0, 1}) {
      Args a = Make({600, 300, 700, 0, 400, 200}, {0, 0, 1, 1, 1, 1, 1});
      a.chain = chain;
      ExpectMatchesModel(name, a, 37, 29, Alpha::kMixed, seed++);
    }
  }
  engine::SetRowBandThreadsForTesting(0);
}

}  // namespace
