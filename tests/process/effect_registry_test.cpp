// The effect registry: its names against the host's catalogue written out here, exact lookup,
// the effect list export, and parameter descriptions that cover everything an effect reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "process/effect_registry.h"
#include "support/engine_fixture.h"

namespace {

// The host's effect menu in its order.
constexpr std::string_view kCatalogue[] = {
    "Charcoal",
    "Color Pencil",
    "Color Pencil 2",
    "Crayon",
    "Pointillism",
    "Oil Paint",
    "Stipple",
    "Watercolor and Ink",
    "Blur",
    "Blur More",
    "Gaussian Blur",
    "Motion Blur",
    "Motion Blur 2",
    "Radial Blur",
    "Radial Blur 2",
    "Zoom Blur",
    "Zoom Blur 2",
    "Anti Alias",
    "Smart Blur",
    "Surface Blur",
    "Noise Reduction 2",
    "Adaptive Blur",
    "Detail Blur",
    "Value Blur",
    "Brightness and Contrast",
    "Levels",
    "Contrast Mask",
    "Hyper Contrast",
    "Photo Pop",
    "Photo Detailer",
    "Gamma",
    "Histogram Equalize",
    "Histogram Stretch",
    "Histogram Equalize PHASED OUT",
    "Histogram Stretch PHASED OUT",
    "Brightness Histogram Stretch HSL",
    "Colorize",
    "Adjust Color Balance",
    "Adjust HSL",
    "Adjust HSV",
    "Adjust Lab",
    "Channel",
    "Fader",
    "Duotone",
    "Grayscale",
    "Hyper Saturation",
    "Negative",
    "Posterize",
    "Solarize",
    "Basic Threshold",
    "Threshold",
    "Line Art Cleaner",
    "Clamp",
    "Tint",
    "Watercolor Tint",
    "Elliptical",
    "Lens",
    "Marble",
    "Offset",
    "Perspective",
    "Warp",
    "Warp Edge",
    "Warp 3 Point",
    "Stretch",
    "Stretch Edge",
    "Vertical Pivot",
    "Horizontal Pivot",
    "Skew",
    "Pinch",
    "Ripple",
    "Spin",
    "Spin Wave",
    "Wave",
    "Wow",
    "Zig Zag",
    "Twirl",
    "Sine Distortion",
    "Kaleidoscope",
    "Mask Generate HSL",
    "Mask Detail",
    "Patternizer",
    "Scratch",
    "Waves",
    "Divider",
    "Carpet",
    "Glass",
    "Voxel",
    "Zoom",
    "Reduce",
    "Rotate",
    "Horizontal Flip",
    "Vertical Flip",
    "Tilt",
    "Seamless",
    "Noise Reduction",
    "Noise Reduction RGB",
    "Despeckle",
    "Dust and Scratches",
    "Add Gaussian Noise",
    "Add Negative Exponential Noise",
    "Add Rayleigh Noise",
    "Add Uniform Noise",
    "Radiant",
    "Radiant 2",
    "Halftone",
    "Mosaic",
    "Color Noise",
    "Hugo Noise",
    "Perlin Noise",
    "Sharpen",
    "Sharpen More",
    "Unsharp Mask",
    "Bevel",
    "Bas Relief",
    "Crackle",
    "Drop Shadow",
    "Emboss",
    "Fingerprint",
    "Frosted Glass",
    "Gausy",
    "Glow",
    "Glow Inner",
    "Glow Outer",
    "HDRI",
    "Scribble",
    "Vignette",
    "Borderize",
    "Reflection",
    "Edge2",
    "Edge3",
    "Arithmetic Mean",
    "Geometric Mean",
    "Harmonic Mean",
    "Maximum2",
    "Minimum2",
    "Midpoint",
    "Median",
    "Deinterlace",
    "Edge",
    "Bump",
    "Emboss2",
    "Emboss3",
    "Outliner 1",
    "Outliner 2",
    "Maximum",
    "Minimum",
    "Lines",
    "Points",
    "Circles",
    "Rectangles",
    "Splines",
    "Worms",
    "Fibers",
    "Trees",
    "Generate Noise",
    "Blobs",
    "Plasma",
    "Sine Plasma",
    "Fractal Plasma",
    "Generate Perlin Noise",
    "Pattern",
    "Pattern Explorer",
    "Backgrounds Material",
    "Backgrounds Nature",
    "Backgrounds Surface",
    "Backgrounds Other",
    "Backgrounds Utility",
    "Texturize Emboss Material",
    "Texturize Emboss Nature",
    "Texturize Emboss Surface",
    "Texturize Emboss Other",
    "Texturize Emboss Utility",
    "Texturize Bump Material",
    "Texturize Bump Nature",
    "Texturize Bump Surface",
    "Texturize Bump Other",
    "Texturize Bump Utility",
    "Displacement Bump Material",
    "Displacement Bump Nature",
    "Displacement Bump Surface",
    "Displacement Bump Other",
    "Displacement Bump Utility",
    "Lua Filter",
    "Adobe Compatible Plug-ins",
};
static_assert(std::size(kCatalogue) == 184);

TEST(EffectRegistry, HoldsCatalogueNamesInCatalogueOrderAndListsThemSo) {
  const auto registry = process::EffectCatalogue();
  ASSERT_GE(registry.size(), 23u);
  std::size_t next = 0;  // registry names are a subsequence of the catalogue
  for (std::size_t i = 0; i < registry.size(); ++i) {
    const std::string_view name = registry[i].name;
    const auto at = std::find(std::begin(kCatalogue) + next, std::end(kCatalogue), name);
    ASSERT_NE(at, std::end(kCatalogue)) << name << " is out of order or not in the catalogue";
    next = std::size_t(at - std::begin(kCatalogue)) + 1;
    EXPECT_STREQ(PMR_IPLGetEffectName(int32_t(i)), std::string(name).c_str());
  }
  EXPECT_EQ(PMR_IPLGetEffectName(int32_t(registry.size())), nullptr);
  EXPECT_EQ(PMR_IPLGetEffectName(-1), nullptr);
}

TEST(EffectRegistry, FindsExactlyTheNamesItHolds) {
  std::vector<std::string_view> held;
  for (const process::EffectDescriptor& e : process::EffectCatalogue()) {
    EXPECT_EQ(process::FindEffect(e.name), &e);
    held.push_back(e.name);
  }
  for (std::string_view name : kCatalogue) {
    const bool isHeld = std::find(held.begin(), held.end(), name) != held.end();
    EXPECT_EQ(process::FindEffect(name) != nullptr, isHeld) << name;
    // Near misses on either side of the name in a sorted search (a shortened name may itself be
    // another effect's: "Emboss2" less its last letter is "Emboss").
    std::string lower(name), upper(name);
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    for (const std::string& miss :
         {lower, upper, std::string(name) + " ", std::string(name.substr(0, name.size() - 1))})
      if (std::find(std::begin(kCatalogue), std::end(kCatalogue), miss) == std::end(kCatalogue)) {
        EXPECT_EQ(process::FindEffect(miss), nullptr) << miss;
      }
  }
  EXPECT_EQ(process::FindEffect(""), nullptr);
  EXPECT_EQ(process::FindEffect("zzz"), nullptr);
}

// The description exports hand out each descriptor's rows and refuse indices outside the
// registry or its parameter list without touching the outputs.
TEST(EffectRegistry, DescriptionExportsReadTheDescriptors) {
  const auto registry = process::EffectCatalogue();
  for (std::size_t i = 0; i < registry.size(); ++i) {
    const process::EffectDescriptor& e = registry[i];
    EXPECT_STREQ(PMR_IPLGetEffectSummary(int32_t(i)), std::string(e.summary).c_str());
    for (std::size_t k = 0; k < e.parameters.size(); ++k) {
      int32_t kind = -1, number = -1, low = -1, high = -1, standard = -1;
      const char* label = nullptr;
      const char* text = nullptr;
      ASSERT_EQ(PMR_IPLGetEffectParameter(int32_t(i), int32_t(k), &kind, &number, &low, &high,
                                          &standard, &label, &text),
                1);
      EXPECT_EQ(kind, int32_t(e.parameters[k].kind));
      EXPECT_EQ(standard, e.parameters[k].standard);
      EXPECT_STREQ(label, std::string(e.parameters[k].label).c_str());
      ASSERT_NE(text, nullptr);
    }
    int32_t untouched = 77;
    EXPECT_EQ(PMR_IPLGetEffectParameter(int32_t(i), int32_t(e.parameters.size()), &untouched,
                                        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(PMR_IPLGetEffectParameter(int32_t(i), -1, &untouched, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(untouched, 77);
  }
  EXPECT_EQ(PMR_IPLGetEffectSummary(-1), nullptr);
  EXPECT_EQ(PMR_IPLGetEffectSummary(int32_t(registry.size())), nullptr);
  EXPECT_EQ(PMR_IPLGetEffectParameter(int32_t(registry.size()), 0, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr),
            0);
}

constexpr int kW = 11, kH = 8;

class EffectDescriptions : public palmora_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> sample(0, 65535);
    picture_.resize(std::size_t(kW) * kH * 4);
    for (std::size_t i = 0; i < picture_.size(); ++i)
      picture_[i] = uint16_t(i % 4 == 3 && i % 20 != 3 ? 65535 : sample(rng));
  }

  // The layer and the mask after the effect ran on the picture with these arguments.
  std::vector<uint16_t> RunOn(const process::EffectDescriptor& e, const int32_t sliders[6],
                              const int32_t options[8]) {
    palmora_test::WriteLayer(2, picture_);
    PMR_ClearMask(0, 0, 0);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
    const std::string name(e.name);
    PMR_IPLImageProcess(0, name.c_str(), 0, sliders[0], sliders[1], sliders[2], sliders[3],
                        sliders[4], sliders[5], options[0], options[1], options[2], options[3],
                        options[4], options[5], options[6], options[7], 40, 90, 200, nullptr);
    std::vector<uint16_t> out = palmora_test::ReadLayer(2);
    const uint16_t* mask = engine::State().maskPlane;
    out.insert(out.end(), mask, mask + kW * kH);
    return out;
  }

  std::vector<uint16_t> picture_;
};

// Every slider and option an effect reads is described: changing those it does not describe
// never changes its result. (Effects that run a user's script or plug-in are left out: what
// they read is the script's business.)
TEST_F(EffectDescriptions, CoverEverythingAnEffectReads) {
  for (const process::EffectDescriptor& e : process::EffectCatalogue()) {
    if (e.Parameter(process::ArgumentKind::kText, 0)) continue;
    SCOPED_TRACE(std::string(e.name));
    int32_t sliders[6], options[8];
    for (int k = 1; k <= 6; ++k) {
      const process::EffectParameter* p = e.Parameter(process::ArgumentKind::kSlider, k);
      sliders[k - 1] = p ? p->standard : 0;
    }
    for (int k = 1; k <= 8; ++k) {
      const process::EffectParameter* p = e.Parameter(process::ArgumentKind::kOption, k);
      options[k - 1] = p ? p->standard : 0;
    }
    const std::vector<uint16_t> plain = RunOn(e, sliders, options);
    for (int k = 1; k <= 6; ++k)
      if (!e.Parameter(process::ArgumentKind::kSlider, k)) sliders[k - 1] = 730;
    for (int k = 1; k <= 8; ++k)
      if (!e.Parameter(process::ArgumentKind::kOption, k)) options[k - 1] = 1;
    EXPECT_EQ(RunOn(e, sliders, options), plain);
  }
}

}  // namespace
