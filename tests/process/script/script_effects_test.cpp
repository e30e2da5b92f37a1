// The script-runner effects through PMR_IPLImageProcess: the generators' mix-mode table, the
// effect colour reaching the layer in its own channel order, the seed option, and the mask
// protecting pixels from a generator and from a filter on the layer copy.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "process/script/script_effect_run.h"
#include "support/engine_fixture.h"

namespace {

struct Arguments {
  int script = 0;
  int s[6] = {};
  int o[8] = {};
  int red = 0, green = 0, blue = 0;
};

void Process(const char* name, const Arguments& a) {
  PMR_IPLImageProcess(0, name, a.script, a.s[0], a.s[1], a.s[2], a.s[3], a.s[4], a.s[5], a.o[0],
                      a.o[1], a.o[2], a.o[3], a.o[4], a.o[5], a.o[6], a.o[7], a.red, a.green,
                      a.blue, nullptr);
}

class ScriptRunnerEffects : public palmora_test::EngineTest {
 protected:
  static constexpr int kW = 40, kH = 30;
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    palmora_test::PaintPattern(2, 5);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
  }
  std::vector<uint8_t> Layer8() {
    std::vector<uint8_t> out(std::size_t(kW) * kH * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), kW * 4, 2), 1);
    return out;
  }
};

TEST(GeneratorMixMode, HostsFirstChoiceIsNormalPainting) {
  const int table[][2] = {{0, 12},  {1, 0},   {2, 1},   {12, 11},
                          {13, 13}, {17, 17}, {40, 40}, {-3, -3}};
  for (const auto& [option, mode] : table)
    EXPECT_EQ(process::GeneratorMixMode(option), mode) << option;
}

TEST_F(ScriptRunnerEffects, GeneratorsPaintTheEffectColourWhereItBelongs) {
  // One opaque filled rectangle as large as the picture, in pure red: every painted pixel of the
  // layer is red, none blue.
  Arguments a;
  a.script = 1;   // count
  a.s[0] = 1000;  // largest side: the whole shorter side
  a.s[3] = 1000;  // opaque
  a.red = 255;
  Process("Rectangles", a);
  const std::vector<uint8_t> layer = Layer8();
  int red = 0;
  for (int i = 0; i < kW * kH; ++i)
    if (layer[i * 4] == 255 && layer[i * 4 + 1] == 0 && layer[i * 4 + 2] == 0 &&
        layer[i * 4 + 3] == 255)
      ++red;
  EXPECT_GT(red, kH * kH / 20);
}

TEST_F(ScriptRunnerEffects, TheSeedOptionRepeatsAndChangesAGenerator) {
  const std::vector<uint16_t> original = palmora_test::ReadLayer(2);
  auto paint = [&](int seed) {
    palmora_test::WriteLayer(2, original);
    Arguments a;
    a.script = 20, a.s[0] = 100, a.s[3] = 1000, a.o[0] = seed, a.green = 200;
    Process("Points", a);
    return palmora_test::ReadLayer(2);
  };
  const std::vector<uint16_t> first = paint(4);
  EXPECT_NE(first, original);
  EXPECT_EQ(paint(4), first);
  EXPECT_NE(paint(5), first);
}

TEST_F(ScriptRunnerEffects, TheMaskProtectsPixelsFromGeneratorsAndLayerFilters) {
  engine::EngineState& s = engine::State();
  const std::vector<uint16_t> original = palmora_test::ReadLayer(2);
  struct Case {
    const char* name;
    Arguments a;
  };
  Arguments fill;  // plasma paints every pixel
  fill.s[0] = 550, fill.s[1] = 150, fill.o[0] = 3;
  Arguments voxel;
  voxel.s[0] = 100, voxel.s[1] = 800;
  for (const Case& c : {Case{"Plasma", fill}, Case{"Voxel", voxel}}) {
    SCOPED_TRACE(c.name);
    palmora_test::WriteLayer(2, original);
    for (int i = 0; i < kW * kH; ++i) s.maskPlane[i] = (i % kW) < kW / 2 ? 0 : 65535;
    s.maskEnabled = 1;
    Process(c.name, c.a);
    const std::vector<uint16_t> after = palmora_test::ReadLayer(2);
    int changedOpen = 0;
    for (int i = 0; i < kW * kH; ++i) {
      const bool same = std::memcmp(&original[i * 4], &after[i * 4], 8) == 0;
      if (i % kW < kW / 2) {
        EXPECT_TRUE(same) << "protected pixel " << i;
      } else {
        changedOpen += !same;
      }
    }
    EXPECT_GT(changedOpen, kW * kH / 4);
  }
}

}  // namespace
