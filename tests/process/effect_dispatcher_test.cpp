// The dispatcher through PMR_IPLImageProcess: each own effect through its route against the
// reference model, the mask limiting every effect, names it does not know, and its clean-up.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "process/effects/own_effect_model.h"
#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;

constexpr int kW = 13, kH = 9;

struct Sliders {
  int s[6] = {};
  int o[8] = {};
};

void Process(const char* name, const Sliders& a) {
  PMR_IPLImageProcess(0, name, 0, a.s[0], a.s[1], a.s[2], a.s[3], a.s[4], a.s[5], a.o[0], a.o[1],
                      a.o[2], a.o[3], a.o[4], a.o[5], a.o[6], a.o[7], 0, 0, 0, nullptr);
}

// Arguments that make every effect change something on a random picture.
Sliders ArgumentsFor(std::string_view name) {
  Sliders a;
  const int s[6] = {620, 350, 800, 700, 450, 300};
  std::copy(std::begin(s), std::end(s), a.s);
  a.o[2] = 1, a.o[3] = 1, a.o[4] = 1, a.o[5] = 1;  // options 3..6
  if (name == "Channel") a.o[3] = a.o[4] = 0;
  if (name == "Fader") a.o[2] = 0;
  if (name == "Vignette") a.s[3] = 0, a.o[5] = 1, a.o[4] = 0;  // sharp rectangle, as modelled
  if (name == "Reflection") a.o[2] = 0, a.o[3] = 1;
  if (name == "Adaptive Blur") a.s[0] = 950;
  if (name == "Detail Blur") a.s[0] = 20;
  return a;
}

class EffectDispatcher : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    std::mt19937 rng(7);
    std::vector<uint16_t> pixels(std::size_t(kW) * kH * 4);
    std::uniform_int_distribution<int> sample(0, 65535);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
      for (int c = 0; c < 3; ++c) pixels[i + c] = uint16_t(sample(rng));
      const int a = sample(rng);
      pixels[i + 3] = uint16_t(i % 24 == 0 ? 0 : i % 12 == 4 ? 65535 : a);
    }
    palmora_test::WriteLayer(2, pixels);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
  }

  std::vector<uint8_t> Layer8() {
    std::vector<uint8_t> out(std::size_t(kW) * kH * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), kW * 4, 2), 1);
    return out;
  }
};

// The own effects the catalogue runs through the 32-bit route, with the own effect each runs and
// whether its route premultiplies (the blurs mix neighbours, so transparent pixels must not lend
// them their colour), written out here rather than taken from the registry.
struct OwnRow {
  const char* name;
  const char* runs;
  bool premultiplied;
};
constexpr OwnRow kOwnRows[] = {
    {"Anti Alias", "Anti Alias", true},
    {"Smart Blur", "Noise Reduction", true},
    {"Adaptive Blur", "Adaptive Blur", true},
    {"Detail Blur", "Detail Blur", true},
    {"Value Blur", "Value Blur", true},
    {"Noise Reduction", "Noise Reduction", true},
    {"Noise Reduction RGB", "Noise Reduction RGB", true},
    {"Hyper Contrast", "Hyper Contrast", false},
    {"Adjust Lab", "Adjust Lab", false},
    {"Channel", "Channel", false},
    {"Fader", "Fader", false},
    {"Basic Threshold", "Basic Threshold", false},
    {"Line Art Cleaner", "Line Art Cleaner", false},
    {"Clamp", "Clamp", false},
    {"Bas Relief", "Bas Relief", false},
    {"Vignette", "Vignette", false},
    {"Borderize", "Borderize", false},
    {"Reflection", "Reflection", false},
};

// The layer as the route leaves it, from the model: the layer read at 8 bits, premultiplied for
// the blurs, the effect, divided again, loaded back through the (fully open) mask a new canvas
// has in force, which takes every pixel whole.
std::vector<uint8_t> Expected(const OwnRow& row, const Sliders& a, std::vector<uint8_t> layer8) {
  effects_model::Run run;
  run.w = kW, run.h = kH;
  if (row.premultiplied) PMR_AdjustRGBA32PreFilter(layer8.data(), kW, kH);
  run.src = layer8;
  effects_model::Args args;
  std::copy(std::begin(a.s), std::end(a.s), args.sliders);
  std::copy(std::begin(a.o), std::end(a.o), args.options);
  effects_model::RunModel(row.runs, args, run);
  if (row.premultiplied) PMR_AdjustRGBA32PostFilter(run.dst.data(), kW, kH);
  return run.dst;
}

TEST_F(EffectDispatcher, OwnEffectsMatchTheModelThroughTheirRoutes) {
  for (const OwnRow& row : kOwnRows) {
    if (std::string_view(row.name) == "Line Art Cleaner") continue;  // two write-backs; below
    SCOPED_TRACE(row.name);
    const std::vector<uint8_t> before = Layer8();
    const std::vector<uint16_t> before16 = palmora_test::ReadLayer(2);
    const Sliders a = ArgumentsFor(row.name);
    Process(row.name, a);
    EXPECT_EQ(Layer8(), Expected(row, a, before));
    palmora_test::WriteLayer(2, before16);
  }
}

// Value Blur runs on premultiplied colour. Here every pixel's straight colour is white and only
// the alphas differ, so on straight colour all luminances are equal and the blur would change
// nothing; premultiplied, the faint pixels read dark and are pulled towards their opaque
// neighbours, colour and alpha.
TEST_F(EffectDispatcher, ValueBlurSeesColourUnderLowAlphaAsPremultiplied) {
  std::vector<uint16_t> pixels(std::size_t(kW) * kH * 4);
  for (int i = 0; i < kW * kH; ++i) {
    pixels[4 * i + 0] = pixels[4 * i + 1] = pixels[4 * i + 2] = 65280;
    pixels[4 * i + 3] = (i % kW + i / kW) % 2 ? 65535 : 16 * 256;
  }
  palmora_test::WriteLayer(2, pixels);
  const std::vector<uint8_t> before = Layer8();
  const Sliders a = ArgumentsFor("Value Blur");
  ASSERT_EQ(Expected({"Value Blur", "Value Blur", false}, a, before), before);
  Process("Value Blur", a);
  const std::vector<uint8_t> after = Layer8();
  int raised = 0;
  for (int i = 0; i < kW * kH; ++i) {
    if (before[4 * i + 3] == 16 && after[4 * i + 3] > 16) ++raised;
  }
  EXPECT_GT(raised, kW * kH / 4);
  EXPECT_EQ(after, Expected({"Value Blur", "Value Blur", true}, a, before));
}

TEST_F(EffectDispatcher, LineArtCleanerShowsItsThresholdThenRemovesSpecks) {
  const Sliders a = ArgumentsFor("Line Art Cleaner");
  const std::vector<uint8_t> expected =
      Expected({"Line Art Cleaner", "Line Art Cleaner", false}, a, Layer8());
  Process("Line Art Cleaner", a);
  EXPECT_EQ(Layer8(), expected);
}

// With half the canvas protected, every effect leaves the protected pixels exactly as they were
// (all 16 bits) and changes some of the open ones.
TEST_F(EffectDispatcher, TheMaskLimitsEveryEffectToMaskedInPixels) {
  engine::EngineState& s = engine::State();
  ASSERT_NE(s.maskPlane, nullptr);
  std::vector<std::string> names;
  for (const OwnRow& row : kOwnRows) names.push_back(row.name);
  names.insert(names.end(), {"Adjust HSL", "Adjust HSV"});
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    for (int i = 0; i < kW * kH; ++i) s.maskPlane[i] = (i % kW) < kW / 2 ? 0 : 65535;
    s.maskEnabled = 1;
    const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
    Process(name.c_str(), ArgumentsFor(name));
    const std::vector<uint16_t> after = palmora_test::ReadLayer(2);
    int changedOpen = 0;
    for (int i = 0; i < kW * kH; ++i) {
      const bool open = (i % kW) >= kW / 2;
      const bool same = std::memcmp(&before[i * 4], &after[i * 4], 8) == 0;
      if (!open) {
        EXPECT_TRUE(same) << "protected pixel " << i;
      }
      if (open && !same) ++changedOpen;
    }
    EXPECT_GT(changedOpen, 0);
    palmora_test::WriteLayer(2, before);
  }
}

TEST_F(EffectDispatcher, UnknownAndLowerCaseNamesDoNothing) {
  const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
  std::vector<uint8_t> dst(std::size_t(kW) * kH * 4, 0x5A);
  PMR_IPLSetDstBuffer32(dst.data());
  for (const char* name : {"value blur", "VALUE BLUR", "Value Blur ", "Blur3", "", "Lua"}) {
    Process(name, ArgumentsFor(name));
  }
  Process(nullptr, {});
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
  EXPECT_EQ(std::memcmp(engine::State().processingBuffers.dst32, dst.data(), dst.size()), 0);
  EXPECT_STREQ(PMR_GetLastError(), "");
}

TEST_F(EffectDispatcher, WithoutBothBuffersNothingRuns) {
  const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
  PMR_IPLFreeDstBuffer32();
  Process("Invert", {});
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
}

TEST_F(EffectDispatcher, TwentyFourBitBuffersAreFreedOnEveryWayOut) {
  for (const char* name : {"Invert", "Hyper Contrast", "no such effect"}) {
    PMR_IPLAllocSrcBuffer24();
    PMR_IPLAllocDstBuffer24();
    Process(name, {});
    EXPECT_EQ(engine::State().processingBuffers.src24, nullptr);
    EXPECT_EQ(engine::State().processingBuffers.dst24, nullptr);
  }
}

TEST_F(EffectDispatcher, MemoryFailureIsReportedAndCleansUp) {
  const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
  PMR_IPLAllocSrcBuffer24();
  engine::SetAllocationCeilingForTesting(64);  // the layer copy and the vignette planes fail
  Process("Adjust HSL", ArgumentsFor("Adjust HSL"));
  EXPECT_STREQ(PMR_GetLastError(), "IPLImageProc Excpt");
  EXPECT_EQ(engine::State().processingBuffers.src24, nullptr);
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
}

// Mask Detail marks a lone speck (and its crossing neighbours) and nothing on the border; the
// layer keeps every bit, including the low bytes an 8-bit round trip would lose.
TEST_F(EffectDispatcher, MaskDetailMarksTheMaskAndLeavesTheLayer) {
  std::vector<uint16_t> flat(std::size_t(kW) * kH * 4, 0x1234);
  for (std::size_t i = 3; i < flat.size(); i += 4) flat[i] = 65535;
  const int sx = 5, sy = 4;
  for (int c = 0; c < 3; ++c) flat[(std::size_t(sy) * kW + sx) * 4 + c] = 0xF0F0;
  flat[(std::size_t(0) * kW + 3) * 4] = 0xF0F0;  // a speck on the border is never marked
  palmora_test::WriteLayer(2, flat);
  Sliders a;
  a.s[0] = 100, a.s[1] = 750;  // threshold 25; mark with trunc(0.25 x 65535) = 16383
  Process("Mask Detail", a);
  EXPECT_EQ(palmora_test::ReadLayer(2), flat);
  const uint16_t* m = engine::State().maskPlane;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      EXPECT_EQ(m[y * kW + x], x == sx && y == sy ? 16383 : 65535) << x << "," << y;
}

// Fading over the content takes the current layer's content bounds, where a faint pixel (16-bit
// alpha 100, 0 at 8 bits) counts: the region runs from column 1 to 5, so the alpha ramp from 2 to
// 0 is 0.5 at column 4 and 0 at column 5. Bounds taken from the 8-bit copy would start at
// column 4 and leave that pixel at twice its alpha.
TEST_F(EffectDispatcher, FaderOverTheContentTakesTheLayersBounds) {
  std::vector<uint16_t> layer(std::size_t(kW) * kH * 4, 0);
  auto put = [&](int x, int y, uint16_t alpha) {
    uint16_t* p = &layer[(std::size_t(y) * kW + x) * 4];
    p[0] = 0x4000, p[1] = 0x8000, p[2] = 0xC000, p[3] = alpha;
  };
  put(1, 1, 100);
  put(4, 3, 65535);
  put(5, 3, 65535);
  palmora_test::WriteLayer(2, layer);
  Sliders a;
  a.s[0] = a.s[1] = 500;      // fy = 1 down the region
  a.s[2] = 1000, a.s[3] = 0;  // fx from 2 to 0 across it
  a.o[2] = 1, a.o[5] = 1;     // over the content; fade the alpha
  Process("Fader", a);
  const std::vector<uint8_t> after = Layer8();
  EXPECT_EQ(after[(3 * kW + 4) * 4 + 3], 127);
  EXPECT_EQ(after[(3 * kW + 5) * 4 + 3], 0);
  EXPECT_EQ(after[(3 * kW + 4) * 4 + 0], 0x40);  // colour untouched
}

TEST_F(EffectDispatcher, AdjustHSLAndHSVRunTheBufferAdjustersOnTheLayer) {
  for (const char* name : {"Adjust HSL", "Adjust HSV"}) {
    const std::vector<uint16_t> before16 = palmora_test::ReadLayer(2);
    std::vector<uint8_t> expected = Layer8();
    // Hue +72 degrees ((70 - 50) x 3.6), saturation -20 %, lightness or value +10 %.
    if (std::string(name) == "Adjust HSL")
      PMR_ProcessBuffer_HSLAdjust(expected.data(), kW, kH, 72, -20, 10);
    else
      PMR_ProcessBuffer_HSVAdjust(expected.data(), kW, kH, 72, -20, 10);
    Sliders a;
    a.s[0] = 700, a.s[1] = 400, a.s[2] = 550;
    Process(name, a);
    EXPECT_EQ(Layer8(), expected) << name;
    palmora_test::WriteLayer(2, before16);
  }
}

}  // namespace
