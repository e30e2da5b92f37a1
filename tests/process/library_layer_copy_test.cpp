// Library effects on the layer copy, glows and the HSL mask maker through PMR_IPLImageProcess:
// the given arithmetic against reference formulas, properties where the algorithm is ours, the
// noise models' statistics, and every registry row on degenerate canvases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "process/effect_registry.h"
#include "support/engine_fixture.h"

namespace {

struct Arguments {
  int s[6] = {};
  int o[8] = {};
  int red = 0, green = 0, blue = 0;
};

void Process(const std::string& name, const Arguments& a) {
  PMR_IPLImageProcess(0, name.c_str(), 0, a.s[0], a.s[1], a.s[2], a.s[3], a.s[4], a.s[5], a.o[0],
                      a.o[1], a.o[2], a.o[3], a.o[4], a.o[5], a.o[6], a.o[7], a.red, a.green,
                      a.blue, nullptr);
}

// The described defaults of an effect.
Arguments Defaults(const process::EffectDescriptor& e) {
  Arguments a;
  for (const process::EffectParameter& p : e.parameters) {
    if (p.kind == process::ArgumentKind::kSlider) a.s[p.number - 1] = p.standard;
    if (p.kind == process::ArgumentKind::kOption) a.o[p.number - 1] = p.standard;
    if (p.kind == process::ArgumentKind::kColour)
      a.red = p.standard & 0xFF, a.green = (p.standard >> 8) & 0xFF, a.blue = p.standard >> 16;
  }
  return a;
}

class LayerCopyEffects : public palmora_test::EngineTest {
 protected:
  void Canvas(int w, int h) {
    w_ = w, h_ = h;
    MakeCanvas(w, h);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
  }
  void Load(const std::vector<uint8_t>& rgba) {
    ASSERT_EQ(PMR_LoadRGBA32Layer(rgba.data(), w_ * 4, 2, 0, 0, w_, h_, 0), 1);
  }
  std::vector<uint8_t> Layer8() {
    std::vector<uint8_t> out(std::size_t(w_) * h_ * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), w_ * 4, 2), 1);
    return out;
  }
  // Every byte value in the colour channels, alphas of several kinds.
  std::vector<uint8_t> AllValues() {
    std::vector<uint8_t> p(std::size_t(w_) * h_ * 4);
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = uint8_t(i % 4 == 3 ? 255 - i / 4 % 7 : i * 7);
    return p;
  }
  int w_ = 0, h_ = 0;
};

uint8_t Round(double v) { return uint8_t(std::lround(std::clamp(v, 0.0, 255.0))); }

// Point adjustments whose arithmetic is given, each against its own formula per colour byte;
// alpha never changes.
TEST_F(LayerCopyEffects, PointAdjustmentsFollowTheirFormulas) {
  Canvas(16, 16);
  struct Case {
    const char* name;
    Arguments a;
    std::function<uint8_t(int, int)> expected;  // (byte, channel)
  };
  auto bc = [](double b, double c) {
    return [=](int x, int) {
      const double f = std::tan((c + 1) * std::numbers::pi / 4);
      return Round(((x / 255.0 + b - 0.5) * f + 0.5) * 255);
    };
  };
  const Case cases[] = {
      {"Brightness and Contrast", {{500, 500}}, [](int x, int) { return uint8_t(x); }},
      {"Brightness and Contrast", {{600, 750}}, bc(0.2, 0.5)},
      {"Brightness and Contrast", {{250, 300}}, bc(-0.5, -0.4)},
      {"Gamma", {{500}}, [](int x, int) { return uint8_t(x); }},
      {"Gamma", {{800}}, [](int x, int) { return Round(255 * std::pow(x / 255.0, 1 / 1.6)); }},
      {"Threshold", {{400}}, [](int x, int) { return uint8_t(x >= 102 ? 255 : 0); }},
      {"Levels", {{0, 1000, 500, 0, 1000}}, [](int x, int) { return uint8_t(x); }},
      {"Levels",
       {{200, 600, 500, 100, 900}},
       [](int x, int) {
         const double t = std::clamp((x / 255.0 - 0.2) / 0.4, 0.0, 1.0);
         return Round((0.1 + t * 0.8) * 255);
       }},
      {"Hyper Saturation", {{500}}, [](int x, int) { return uint8_t(x); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> before = AllValues();
    Load(before);
    Process(c.name, c.a);
    const std::vector<uint8_t> after = Layer8();
    for (std::size_t i = 0; i < before.size(); ++i) {
      if (i % 4 == 3) {
        ASSERT_EQ(after[i], before[i]) << "alpha at " << i;
      } else {
        // Levels' curve is ours and computed from single-precision sliders: within one level.
        const int slack = std::string(c.name) == "Levels" ? 1 : 0;
        ASSERT_NEAR(after[i], c.expected(before[i], int(i % 4)), slack)
            << i << " from " << int(before[i]);
      }
    }
  }
}

TEST_F(LayerCopyEffects, GammaAtZeroFailsAndWritesNothing) {
  Canvas(5, 3);
  palmora_test::PaintPattern(2, 3);
  const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
  Process("Gamma", {});
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
}

TEST_F(LayerCopyEffects, FlipsMirrorTheLayer) {
  Canvas(5, 3);
  const std::vector<uint8_t> before = AllValues();
  Load(before);
  Process("Horizontal Flip", {});
  std::vector<uint8_t> after = Layer8();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      for (int c = 0; c < 4; ++c)
        ASSERT_EQ(after[(y * 5 + x) * 4 + c], before[(y * 5 + 4 - x) * 4 + c]);
  Load(before);
  Process("Vertical Flip", {});
  after = Layer8();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      for (int c = 0; c < 4; ++c)
        ASSERT_EQ(after[(y * 5 + x) * 4 + c], before[((2 - y) * 5 + x) * 4 + c]);
}

// On a flat grey the added noise keeps the mean and has the spread of its model: scale
// amount / 100 levels, 10 % giving 20.
TEST_F(LayerCopyEffects, NoiseModelsHaveTheirSpread) {
  Canvas(200, 200);
  struct Model {
    const char* name;
    double sd;
  } models[] = {
      {"Add Gaussian Noise", 20},
      {"Add Uniform Noise", 20 / std::sqrt(3.0)},
      {"Add Negative Exponential Noise", 20},
      {"Add Rayleigh Noise", 20 * std::sqrt((4 - std::numbers::pi) / 2)},
  };
  for (const Model& m : models) {
    for (int mono : {0, 1}) {
      SCOPED_TRACE(std::string(m.name) + (mono ? " mono" : ""));
      std::vector<uint8_t> grey(std::size_t(200) * 200 * 4, 128);
      for (std::size_t i = 3; i < grey.size(); i += 4) grey[i] = 255;
      Load(grey);
      Arguments a;
      a.s[0] = 100, a.o[2] = mono;
      Process(m.name, a);
      const std::vector<uint8_t> after = Layer8();
      double sum = 0, squares = 0;
      int n = 0, colourful = 0;
      for (std::size_t i = 0; i < after.size(); i += 4) {
        if (after[i] != after[i + 1] || after[i] != after[i + 2]) ++colourful;
        for (int c = 0; c < 3; ++c, ++n)
          sum += after[i + c], squares += after[i + c] * after[i + c];
        ASSERT_EQ(after[i + 3], 255);
      }
      const double mean = sum / n, sd = std::sqrt(squares / n - mean * mean);
      EXPECT_NEAR(mean, 128, 1.0);
      EXPECT_NEAR(sd, m.sd, m.sd * 0.05);
      EXPECT_EQ(colourful == 0, mono == 1);
    }
  }
}

// Equalisation spreads a narrow range of greys over the whole range with a flat cumulative
// histogram; stretching maps the range onto 0..255.
TEST_F(LayerCopyEffects, HistogramEffectsSpreadANarrowRange) {
  Canvas(64, 64);
  std::vector<uint8_t> narrow(std::size_t(64) * 64 * 4);
  for (std::size_t i = 0; i < narrow.size(); i += 4) {
    const uint8_t v = uint8_t(100 + (i / 4) % 21);  // 100..120, equally often
    narrow[i] = narrow[i + 1] = narrow[i + 2] = v;
    narrow[i + 3] = 255;
  }
  for (const char* name :
       {"Histogram Equalize", "Histogram Equalize PHASED OUT", "Histogram Stretch",
        "Histogram Stretch PHASED OUT", "Brightness Histogram Stretch HSL"}) {
    SCOPED_TRACE(name);
    Load(narrow);
    Process(name, {});
    const std::vector<uint8_t> after = Layer8();
    int low = 255, high = 0;
    for (std::size_t i = 0; i < after.size(); i += 4) {
      low = std::min<int>(low, after[i]), high = std::max<int>(high, after[i]);
      ASSERT_EQ(after[i], after[i + 1]);  // greys stay grey
    }
    EXPECT_LE(low, 13);
    EXPECT_EQ(high, 255);
    // Order is kept: a brighter input never comes out darker.
    for (std::size_t i = 0; i + 4 < after.size(); i += 4)
      if (narrow[i] < narrow[i + 4]) {
        ASSERT_LE(after[i], after[i + 4]);
      }
  }
}

// A layer clear but for an opaque square: the outer glow lights the clear pixels next to it and
// leaves far ones and the square alone; the inner glow tints the square's rim, not its centre.
TEST_F(LayerCopyEffects, GlowsLightAroundAndInsideTheShape) {
  Canvas(60, 60);
  std::vector<uint8_t> square(std::size_t(60) * 60 * 4, 0);
  for (int y = 20; y < 40; ++y)
    for (int x = 20; x < 40; ++x) {
      uint8_t* p = &square[(y * 60 + x) * 4];
      p[0] = 10, p[1] = 20, p[2] = 30, p[3] = 255;
    }
  Arguments a;
  a.s[0] = 100, a.s[1] = 500, a.red = 255, a.green = 200, a.blue = 0;
  Load(square);
  Process("Glow Outer", a);
  std::vector<uint8_t> after = Layer8();
  auto at = [&](int x, int y) { return &after[(y * 60 + x) * 4]; };
  EXPECT_GT(at(18, 30)[3], 100);
  EXPECT_EQ(at(18, 30)[0], 255);
  EXPECT_EQ(at(2, 2)[3], 0);
  EXPECT_EQ(at(30, 30)[0], 10);
  EXPECT_EQ(at(30, 30)[3], 255);

  Load(square);
  a.s[0] = 0;  // the smallest glow, so that the square's centre lies beyond its reach
  Process("Glow Inner", a);
  after = Layer8();
  EXPECT_GT(at(20, 30)[0], 100);
  EXPECT_EQ(at(30, 30)[0], 10);
  EXPECT_EQ(at(5, 5)[3], 0);
}

TEST_F(LayerCopyEffects, MaskGenerateHSLSelectsByHue) {
  Canvas(8, 4);
  std::vector<uint8_t> halves(std::size_t(8) * 4 * 4);
  for (int i = 0; i < 32; ++i) {
    uint8_t* p = &halves[i * 4];
    const bool red = i % 8 < 4;
    p[0] = red ? 220 : 20, p[1] = 20, p[2] = red ? 20 : 220, p[3] = 255;
  }
  Load(halves);
  const std::vector<uint16_t> layer = palmora_test::ReadLayer(2);
  Arguments a;  // hue 0 (red), saturation and lightness near the red's, loose tolerances
  a.s[0] = 0, a.s[1] = 100, a.s[2] = 800, a.s[3] = 300, a.s[4] = 470, a.s[5] = 300;
  a.o[2] = 1;
  for (int protect : {0, 1}) {
    a.o[0] = protect;
    Process("Mask Generate HSL", a);
    const uint16_t* m = engine::State().maskPlane;
    for (int i = 0; i < 32; ++i) {
      const bool red = i % 8 < 4;
      if (red) {
        EXPECT_EQ(m[i], m[0]) << i;
      } else {
        EXPECT_NE(m[i], m[0]) << i;
      }
    }
    EXPECT_EQ(palmora_test::ReadLayer(2), layer);
  }
}

// Every effect of the registry, with its defaults, on one-pixel-wide and one-pixel-high canvases
// and on a fully clear layer, stays inside its buffers (checked under the sanitizers) and leaves
// the processing buffers usable.
TEST_F(LayerCopyEffects, EveryEffectRunsOnDegenerateCanvases) {
  const int sizes[][2] = {{1, 1}, {1, 7}, {7, 1}, {3, 2}};
  for (const auto& size : sizes) {
    for (bool clear : {false, true}) {
      palmora_test::ResetEngine();
      Canvas(size[0], size[1]);
      if (!clear) palmora_test::PaintPattern(2, 8);
      for (const process::EffectDescriptor& e : process::EffectCatalogue()) {
        if (e.Parameter(process::ArgumentKind::kText, 0)) continue;
        SCOPED_TRACE(std::string(e.name));
        Process(std::string(e.name), Defaults(e));
        EXPECT_STREQ(PMR_GetLastError(), "");
      }
    }
  }
}

}  // namespace
