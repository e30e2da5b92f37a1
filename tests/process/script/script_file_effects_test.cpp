// Effects that paint a picture-script file over the layer: the five names of each family behave
// alike, a bad script file leaves the layer as it was, Backgrounds repeats the script's picture
// exactly (and a tile size of 0 % still ends), and the mask protects pixels from them.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "support/engine_fixture.h"

namespace {

constexpr const char* kFamilies[] = {"Material", "Nature", "Surface", "Other", "Utility"};
constexpr const char* kKinds[] = {"Backgrounds ", "Texturize Emboss ", "Texturize Bump ",
                                  "Displacement Bump "};

class ScriptFileEffects : public palmora_test::EngineTest {
 protected:
  static constexpr int kW = 23, kH = 17;
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    palmora_test::PaintPattern(2, 9);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
    original_ = palmora_test::ReadLayer(2);
  }
  void TearDown() override {
    for (const std::string& p : written_) std::remove(p.c_str());
    EngineTest::TearDown();
  }
  std::string Script(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    written_.push_back(path);
    return path;
  }
  static void Run(const std::string& name, const std::string& path, int tile = 1000) {
    PMR_IPLImageProcess(0, name.c_str(), 0, tile, 300, 375, 1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10,
                        20, 30, path.c_str());
  }
  // A 4 x 3 picture: blue-green checks of one pixel, opaque.
  std::string Checks() {
    return Script("checks.picscript",
                  "picture-script 1\nsize 4 3\neffect 42\n 1 = 2\n 4 = 0xFF0000\n 5 = 0\n"
                  " 7 = 0x00FF00\n 0 = 1\n");
  }
  std::vector<uint16_t> original_;
  std::vector<std::string> written_;
};

TEST_F(ScriptFileEffects, TheFiveNamesOfEachKindBehaveAlike) {
  const std::string path = Checks();
  for (const char* kind : kKinds) {
    std::vector<uint16_t> first;
    for (const char* family : kFamilies) {
      const std::string name = std::string(kind) + family;
      palmora_test::WriteLayer(2, original_);
      Run(name, path);
      const std::vector<uint16_t> after = palmora_test::ReadLayer(2);
      if (first.empty()) {
        EXPECT_NE(after, original_) << name << " changed nothing";
        first = after;
      } else {
        EXPECT_EQ(after, first) << name;
      }
    }
  }
}

TEST_F(ScriptFileEffects, MissingOrMalformedScriptsLeaveTheLayerAlone) {
  const std::string paths[] = {
      ::testing::TempDir() + "no-such-script.picscript",
      Script("bad1.picscript", "picture-script 1\nsize 4 4\neffect 42\n 1 = wood\n"),
      Script("bad2.picscript", "picture-script 1\neffect 42\n"),
      Script("bad3.picscript", "not a script at all"),
      Script("bad4.picscript", ""),
  };
  for (const char* kind : kKinds)
    for (const std::string& path : paths) {
      Run(std::string(kind) + "Nature", path);
      EXPECT_EQ(palmora_test::ReadLayer(2), original_) << kind << path;
    }
  for (const char* name : {"Patternizer", "Pattern Explorer"})
    for (const std::string& path : paths) {
      Run(name, path);
      EXPECT_EQ(palmora_test::ReadLayer(2), original_) << name << path;
    }
  // And without any text at all.
  for (const char* kind : kKinds) {
    PMR_IPLImageProcess(0, (std::string(kind) + "Other").c_str(), 0, 1000, 300, 375, 1000, 0, 0, 0,
                        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(palmora_test::ReadLayer(2), original_) << kind;
  }
}

TEST_F(ScriptFileEffects, BackgroundsRepeatTheScriptsPictureOpaque) {
  Run("Backgrounds Surface", Checks());
  std::vector<uint8_t> layer(std::size_t(kW) * kH * 4);
  ASSERT_EQ(PMR_GetRGBA32Layer(layer.data(), kW * 4, 2), 1);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint8_t* p = &layer[(std::size_t(y) * kW + x) * 4];
      // Cells of two pixels, so the 4 x 3 picture holds checks that change every second pixel;
      // the tile repeats every 4 columns and 3 rows.
      const int tx = x % 4, ty = y % 3;
      const bool first = ((tx / 2) + (ty / 2)) % 2 == 0;
      EXPECT_EQ(p[0], 0) << x << "," << y;  // no red in either colour
      EXPECT_EQ(p[1], first ? 0 : 255) << x << "," << y;
      EXPECT_EQ(p[2], first ? 255 : 0) << x << "," << y;
      EXPECT_EQ(p[3], 255);
    }
}

TEST_F(ScriptFileEffects, PatternizerWithoutADistortionRepeatsThePictureLikeBackgrounds) {
  const std::string path = Checks();
  Run("Backgrounds Other", path);
  const std::vector<uint16_t> background = palmora_test::ReadLayer(2);
  palmora_test::WriteLayer(2, original_);
  Run("Patternizer", path);  // option 3 is 0: no distortion
  EXPECT_EQ(palmora_test::ReadLayer(2), background);
}

TEST_F(ScriptFileEffects, ATileOfNoSizeIsOnePixel) {
  Run("Backgrounds Utility", Checks(), 0);
  std::vector<uint8_t> layer(std::size_t(kW) * kH * 4);
  ASSERT_EQ(PMR_GetRGBA32Layer(layer.data(), kW * 4, 2), 1);
  for (std::size_t i = 4; i < layer.size(); ++i) ASSERT_EQ(layer[i], layer[i % 4]) << i;
}

TEST_F(ScriptFileEffects, TheMaskProtectsPixelsFromEveryKind) {
  const std::string path = Checks();
  engine::EngineState& s = engine::State();
  for (const char* kind : kKinds) {
    palmora_test::WriteLayer(2, original_);
    for (int i = 0; i < kW * kH; ++i) s.maskPlane[i] = (i % kW) < kW / 2 ? 0 : 65535;
    s.maskEnabled = 1;
    Run(std::string(kind) + "Material", path);
    const std::vector<uint16_t> after = palmora_test::ReadLayer(2);
    int changedOpen = 0;
    for (int i = 0; i < kW * kH; ++i) {
      const bool same = std::memcmp(&original_[i * 4], &after[i * 4], 8) == 0;
      if (i % kW < kW / 2) {
        EXPECT_TRUE(same) << kind << " protected pixel " << i;
      } else {
        changedOpen += !same;
      }
    }
    EXPECT_GT(changedOpen, 0) << kind;
  }
}

}  // namespace
