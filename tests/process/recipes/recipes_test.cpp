// The recipes through PMR_IPLImageProcess: their observable steps against independent models,
// what flat pictures turn into, the mask, failures part-way, and tiny and transparent canvases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "render/composite_rgba32_into_layer.h"
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_stack.h"
#include "imaging/gaussian_blur.h"
#include "process/effect_registry.h"
#include "process/effects/own_effect_model.h"
#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;

constexpr const char* kRecipes[] = {
    "Charcoal",           "Color Pencil",  "Color Pencil 2", "Crayon",         "Pointillism",
    "Watercolor and Ink", "Contrast Mask", "Photo Pop",      "Photo Detailer", "Radiant",
    "Radiant 2",          "Drop Shadow",   "Glow",           "Edge3",          "Emboss3",
    "Outliner 1",         "Outliner 2"};

struct Args {
  int s[6] = {};
  int o[8] = {};
  int rgb[3] = {0, 0, 0};
};

void Process(const char* name, const Args& a) {
  PMR_IPLImageProcess(0, name, 0, a.s[0], a.s[1], a.s[2], a.s[3], a.s[4], a.s[5], a.o[0], a.o[1],
                      a.o[2], a.o[3], a.o[4], a.o[5], a.o[6], a.o[7], a.rgb[0], a.rgb[1], a.rgb[2],
                      nullptr);
}

// The described defaults of an effect, as a host fills them in.
Args Defaults(const char* name) {
  Args a;
  const process::EffectDescriptor* e = process::FindEffect(name);
  EXPECT_NE(e, nullptr) << name;
  if (!e) return a;
  for (const process::EffectParameter& p : e->parameters) {
    if (p.kind == process::ArgumentKind::kSlider) a.s[p.number - 1] = p.standard;
    if (p.kind == process::ArgumentKind::kOption) a.o[p.number - 1] = p.standard;
    if (p.kind == process::ArgumentKind::kColour)
      a.rgb[0] = p.standard & 0xFF, a.rgb[1] = (p.standard >> 8) & 0xFF,
      a.rgb[2] = (p.standard >> 16) & 0xFF;
  }
  return a;
}

class Recipes : public EngineTest {
 protected:
  // A canvas whose current layer holds the picture (RGBA32, 8-bit values widened by 256).
  void Start(int w, int h, const std::vector<uint8_t>& rgba) {
    palmora_test::ResetEngine();
    MakeCanvas(w, h, 3, 2);
    w_ = w, h_ = h;
    std::vector<uint16_t> px(rgba.size());
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = uint16_t(rgba[i] << 8);
    palmora_test::WriteLayer(2, px);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
    PMR_SetLastError("");
  }
  std::vector<uint8_t> Random(int w, int h, uint32_t seed, bool opaque = true) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> p(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < p.size(); ++i)
      p[i] = (i % 4 == 3 && opaque) ? 255 : uint8_t(rng() & 0xFF);
    return p;
  }
  std::vector<uint8_t> Flat(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    std::vector<uint8_t> p(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < p.size(); i += 4)
      p[i] = r, p[i + 1] = g, p[i + 2] = b, p[i + 3] = a;
    return p;
  }
  int w_ = 0, h_ = 0;
};

// The dodge rule of the compositor for one channel, written from its definition: premultiplied
// fractions of the 65280 scale, the result divided by the result alpha and truncated.
uint16_t DodgeChannel(double s, double sa16, double d, double da16, uint16_t* alphaOut) {
  const double Sa = sa16 / 65535, Da = da16 / 65535;
  const double Sc = s / 65280 * Sa, Dc = d / 65280 * Da;
  const double rest = Sc * (1 - Da) + Dc * (1 - Sa);
  const double X = (Sa * Da <= Sc * Da + Dc * Sa) ? Sa * Da + rest : Dc * Sa / (1 - Sc / Sa) + rest;
  const double R = std::clamp(Da + Sa * (1 - Da), 0.0, 1.0);
  *alphaOut = uint16_t(R * 65535);
  return uint16_t(std::clamp(X / R, 0.0, 1.0) * 65280);
}

// Charcoal: the grey picture written into the layer, then its inverse smeared by Value Blur
// (the model of the own effects) dodging it. Compared channel by channel with the rule above.
TEST_F(Recipes, CharcoalDodgesTheGreyWithItsSmearedInverse) {
  const int w = 9, h = 7;
  const std::vector<uint8_t> picture = Random(w, h, 11);
  Start(w, h, picture);
  Args a;
  a.s[0] = 120, a.s[1] = 40;
  Process("Charcoal", a);
  ASSERT_STREQ(PMR_GetLastError(), "");

  effects_model::Run run;
  run.w = w, run.h = h, run.src = picture, run.dst = picture;
  effects_model::RunModel("Grayscale", {}, run);
  const std::vector<uint8_t> grey = run.dst;
  run.src = grey;
  effects_model::RunModel("Invert", {}, run);
  effects_model::Args smear;
  smear.chain = 1, smear.sliders[0] = 120, smear.sliders[1] = 40;
  effects_model::RunModel("Value Blur", smear, run);

  const std::vector<uint16_t> layer = palmora_test::ReadLayer(2);
  int burnedOut = 0, kept = 0;
  for (int i = 0; i < w * h; ++i) {
    uint16_t alpha = 0;
    for (int c = 0; c < 3; ++c) {
      const uint16_t want = DodgeChannel(run.dst[i * 4 + c] * 256.0, run.dst[i * 4 + 3] * 256.0,
                                         grey[i * 4 + c] * 256.0, 65280, &alpha);
      ASSERT_NEAR(layer[i * 4 + c], want, 1) << "pixel " << i << " channel " << c;
      (want >= (253 << 8) ? burnedOut : kept)++;
    }
    ASSERT_NEAR(layer[i * 4 + 3], alpha, 1) << "pixel " << i;
  }
  // The picture is a drawing: paper white where the smear matched, strokes elsewhere.
  EXPECT_GT(burnedOut, 0);
  EXPECT_GT(kept, 0);
}

// On a flat picture there is nothing to draw: the sketches burn out to paper white, glow and
// the outline multiply leave what flat ground gives, and the relief keeps the colour.
TEST_F(Recipes, FlatPicturesGiveWhatTheirStepsPromise) {
  struct Case {
    const char* name;
    int expect;  // -1: unchanged (within one 8-bit step), else every colour channel's 8-bit value
  };
  const Case cases[] = {{"Charcoal", 255},  {"Color Pencil 2", 255}, {"Edge3", 255},
                        {"Outliner 1", -1}, {"Emboss3", -1},         {"Glow", 0},
                        {"Radiant 2", -2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> flat = Flat(8, 6, 140, 90, 60);
    Start(8, 6, flat);
    Process(c.name, Defaults(c.name));
    EXPECT_STREQ(PMR_GetLastError(), "");
    const std::vector<uint16_t> layer = palmora_test::ReadLayer(2);
    for (int i = 0; i < 8 * 6; ++i)
      for (int ch = 0; ch < 3; ++ch) {
        const int got = layer[i * 4 + ch] >> 8;
        if (c.expect >= 0) {
          // The layer's opaque alpha is 65280, a shade under one: white may come out at 254.
          ASSERT_NEAR(got, c.expect, 1) << "pixel " << i;
        } else if (c.expect == -1) {
          ASSERT_NEAR(got, flat[ch], 1) << "pixel " << i;
        } else {
          // Screen of a picture with itself lightens every channel.
          ASSERT_GT(got, flat[ch]) << "pixel " << i;
        }
      }
  }
}

// Radiant is the premultiplied Gaussian blur of the layer overlaid at trunc(percent 2 x 2.5):
// the recipe and its steps called by hand on a copy of the layer agree to the bit.
TEST_F(Recipes, RadiantIsItsBlurOverlaidAtItsOpacity) {
  const int w = 12, h = 9;
  const std::vector<uint8_t> picture = Random(w, h, 5, false);
  Start(w, h, picture);
  std::vector<uint8_t> blurred(picture.size()), source = picture;
  PMR_AdjustRGBA32PreFilter(source.data(), w, h);
  ASSERT_TRUE(imaging::is5_GaussianBlurImage(source.data(), w, h, 4, w * 4, blurred.data(), w * 4,
                                             25.0 * 0.4 + 0.6, 15));
  PMR_AdjustRGBA32PostFilter(blurred.data(), w, h);
  // The same merge into layer 3 holding the same picture.
  palmora_test::WriteLayer(3, palmora_test::ReadLayer(2));
  engine::LayerRecord* copy = engine::LayerWithPixels(3);
  ASSERT_NE(copy, nullptr);
  ASSERT_TRUE(render::CompositeRGBA32IntoLayer(blurred.data(), copy->pixels, 8, 0, 185, 0));
  Args a;
  a.s[0] = 250, a.s[1] = 740;  // radius 25 x 0.4 + 0.6; opacity trunc(74.0 x 2.5) = 185
  Process("Radiant", a);
  EXPECT_EQ(palmora_test::ReadLayer(2), palmora_test::ReadLayer(3));
}

// The photographer's contrast mask opens the dark half and holds back the light half, and
// leaves a mid-grey picture as it was.
TEST_F(Recipes, ContrastMaskLiftsShadowsAndHoldsHighlights) {
  const int w = 96, h = 4;  // each half three blur radii wide
  std::vector<uint8_t> halves = Flat(w, h, 40, 40, 40);
  for (int y = 0; y < h; ++y)
    for (int x = w / 2; x < w; ++x) std::fill_n(&halves[(y * w + x) * 4], 3, uint8_t(215));
  Start(w, h, halves);
  Process("Contrast Mask", Defaults("Contrast Mask"));
  std::vector<uint16_t> layer = palmora_test::ReadLayer(2);
  EXPECT_GT(layer[0] >> 8, 40 + 10);
  EXPECT_LT(layer[(w - 1) * 4] >> 8, 215 - 10);

  Start(w, h, Flat(w, h, 128, 128, 128));
  Process("Contrast Mask", Defaults("Contrast Mask"));
  layer = palmora_test::ReadLayer(2);
  for (int i = 0; i < w * h; ++i) ASSERT_NEAR(layer[i * 4] >> 8, 128, 1);
}

// Glow takes its smear from sliders 1 and 2: the light side of an edge glows out of black,
// flat ground far from it is black. (With both sliders at 1000 the smear keeps every pixel, and
// the picture turns black everywhere.)
TEST_F(Recipes, GlowLightsTheBrightSideOfEdgesOnBlack) {
  const int w = 24, h = 6;
  std::vector<uint8_t> step = Flat(w, h, 30, 30, 30);
  for (int y = 0; y < h; ++y)
    for (int x = w / 2; x < w; ++x) std::fill_n(&step[(y * w + x) * 4], 3, uint8_t(230));
  Start(w, h, step);
  Process("Glow", Defaults("Glow"));
  std::vector<uint16_t> layer = palmora_test::ReadLayer(2);
  const auto at = [&](int x, int y) { return layer[(y * w + x) * 4] >> 8; };
  EXPECT_GT(at(w / 2, h / 2), 60);  // the bright side of the edge
  EXPECT_EQ(at(0, h / 2), 0);       // flat dark ground

  Start(w, h, step);
  Args literal;
  literal.s[0] = literal.s[1] = 1000;
  Process("Glow", literal);
  layer = palmora_test::ReadLayer(2);
  for (int i = 0; i < w * h; ++i) ASSERT_LE(layer[i * 4] >> 8, 1);
}

// A drop shadow falls where the offsets put the layer's shape, in the shadow colour, only on
// the clear part of the layer; the shape itself is untouched.
TEST_F(Recipes, DropShadowFallsBesideTheShapeOnClearGround) {
  const int w = 40, h = 40;
  std::vector<uint8_t> square = Flat(w, h, 0, 0, 0, 0);
  for (int y = 10; y < 20; ++y)
    for (int x = 10; x < 20; ++x) {
      uint8_t* p = &square[(y * w + x) * 4];
      p[0] = 200, p[1] = 180, p[2] = 20, p[3] = 255;
    }
  Start(w, h, square);
  const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
  Args a = Defaults("Drop Shadow");
  a.s[0] = a.s[1] = 900;  // 40 % of the reach (half the side, 20 pixels) right and down: 8
  a.s[3] = 0;             // hardly soft
  a.rgb[0] = 0, a.rgb[1] = 0, a.rgb[2] = 255;
  Process("Drop Shadow", a);
  ASSERT_STREQ(PMR_GetLastError(), "");
  const std::vector<uint16_t> layer = palmora_test::ReadLayer(2);
  const auto pixel = [&](const std::vector<uint16_t>& p, int x, int y) {
    return &p[(y * w + x) * 4];
  };
  for (int y = 10; y < 20; ++y)
    for (int x = 10; x < 20; ++x)
      ASSERT_EQ(std::memcmp(pixel(layer, x, y), pixel(before, x, y), 8), 0) << x << "," << y;
  const uint16_t* shadow = pixel(layer, 25, 25);  // under the moved square, outside the shape
  EXPECT_GT(shadow[3], 100 * 256);
  EXPECT_GT(shadow[2] >> 8, 200);
  EXPECT_LT(shadow[0] >> 8, 20);
  EXPECT_EQ(pixel(layer, 5, 5)[3], 0);  // far from both: still clear
}

// Photo Pop is the engine's photo-pop operation with slider 1 as its contrast, percent slider 2
// as its saturation and option 3 as the extra pass.
TEST_F(Recipes, PhotoPopRunsThePhotoPopOperation) {
  const std::vector<uint8_t> picture = Random(10, 8, 21);
  Start(10, 8, picture);
  PMR_IPLPhotoPop(300, 70.0, 1);
  const std::vector<uint16_t> direct = palmora_test::ReadLayer(2);
  Start(10, 8, picture);
  Args a;
  a.s[0] = 300, a.s[1] = 700, a.o[2] = 1;
  Process("Photo Pop", a);
  EXPECT_EQ(palmora_test::ReadLayer(2), direct);
}

// A recipe stopped part-way by a memory failure keeps the steps it already wrote (Edge3's grey
// picture), records the dispatcher's message and frees what it held.
TEST_F(Recipes, AFailurePartWayKeepsTheEarlierSteps) {
  const int w = 8, h = 6;
  const std::vector<uint8_t> picture = Random(w, h, 8);
  Start(w, h, picture);
  // Room for nothing new: the scratch block for the blur cannot be had.
  engine::SetAllocationCeilingForTesting(64);
  Process("Edge3", Defaults("Edge3"));
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_STREQ(PMR_GetLastError(), "IPLImageProc Excpt");
  const std::vector<uint16_t> layer = palmora_test::ReadLayer(2);
  for (int i = 0; i < w * h; ++i) {
    const int grey = (picture[i * 4] + picture[i * 4 + 1] + picture[i * 4 + 2]) / 3;
    for (int c = 0; c < 3; ++c) ASSERT_EQ(layer[i * 4 + c], grey << 8) << "pixel " << i;
  }
  EXPECT_EQ(engine::State().processingBuffers.src24, nullptr);
}

// With half the canvas protected, every recipe leaves the protected pixels exactly as they were
// (all 16 bits) and changes some open ones.
TEST_F(Recipes, TheMaskProtectsPixelsFromEveryRecipe) {
  const int w = 20, h = 12;
  std::vector<uint8_t> picture = Random(w, h, 4);
  // A clear corner, so that the drop shadow has somewhere to fall.
  for (int y = 0; y < 4; ++y)
    for (int x = w - 6; x < w; ++x) picture[(y * w + x) * 4 + 3] = 0;
  for (const char* name : kRecipes) {
    SCOPED_TRACE(name);
    Start(w, h, picture);
    const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
    engine::EngineState& s = engine::State();
    ASSERT_NE(s.maskPlane, nullptr);
    for (int i = 0; i < w * h; ++i) s.maskPlane[i] = (i % w) < w / 2 ? 0 : 65535;
    s.maskEnabled = 1;
    Args a = Defaults(name);
    if (std::string(name) == "Drop Shadow") a.s[0] = 800, a.s[1] = 300;  // right and up
    Process(name, a);
    EXPECT_STREQ(PMR_GetLastError(), "");
    const std::vector<uint16_t> after = palmora_test::ReadLayer(2);
    int changedOpen = 0;
    for (int i = 0; i < w * h; ++i) {
      const bool same = std::memcmp(&before[i * 4], &after[i * 4], 8) == 0;
      if ((i % w) < w / 2) {
        ASSERT_TRUE(same) << "protected pixel " << i;
      } else {
        changedOpen += !same;
      }
    }
    EXPECT_GT(changedOpen, 0);
  }
}

// Every recipe runs on 1 x 1, 1 x N and N x 1 canvases and on a fully transparent layer, with
// sliders and options at and far beyond their ends, without touching memory beyond its buffers
// (the sanitizer builds check that); a transparent layer stays transparent.
TEST_F(Recipes, EveryRecipeRunsOnTinyAndTransparentCanvases) {
  const int sizes[][2] = {{1, 1}, {1, 7}, {7, 1}, {5, 4}};
  for (const auto& size : sizes)
    for (bool clear : {false, true})
      for (int extreme : {0, 1000, -2147483647, 2147483647}) {
        for (const char* name : kRecipes) {
          SCOPED_TRACE(std::string(name) + " " + std::to_string(size[0]) + "x" +
                       std::to_string(size[1]) + (clear ? " clear " : " ") +
                       std::to_string(extreme));
          Start(size[0], size[1], Random(size[0], size[1], 9, !clear));
          if (clear) {
            std::vector<uint16_t> px = palmora_test::ReadLayer(2);
            for (std::size_t i = 3; i < px.size(); i += 4) px[i] = 0;
            palmora_test::WriteLayer(2, px);
            PMR_IPLUpdateSrcBuffer32();
          }
          Args a;
          for (int& v : a.s) v = extreme;
          for (int& v : a.o) v = extreme;
          Process(name, a);
          EXPECT_STREQ(PMR_GetLastError(), "");
          const std::vector<uint16_t> layer = palmora_test::ReadLayer(2);
          ASSERT_EQ(layer.size(), std::size_t(size[0]) * size[1] * 4);
          if (clear) {
            for (std::size_t i = 3; i < layer.size(); i += 4) ASSERT_EQ(layer[i], 0);
          }
        }
      }
}

}  // namespace
