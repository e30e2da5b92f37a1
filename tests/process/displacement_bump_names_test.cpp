// The five Displacement Bump names through the dispatcher: each refreshes and premultiplies the
// source and then runs the displacement export with percent slider 1 and the effect colour, so
// all five give what that sequence gives by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "support/engine_fixture.h"

namespace {

constexpr int kW = 21, kH = 15;

class DisplacementBumpNames : public palmora_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    std::mt19937 rng(8);
    original.resize(std::size_t(kW) * kH * 4);
    for (std::size_t i = 0; i < original.size(); ++i)
      original[i] = i % 4 == 3 ? uint16_t(i % 24 == 3 ? 0x8000 : 0xFF00) : uint16_t(rng() & 0xFF00);
    palmora_test::WriteLayer(2, original);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
    script = ::testing::TempDir() + "palmora_bump_names.picscript";
    std::ofstream(script) << "picture-script 1\nsize 8 8\neffect 5\n  0 = 7\n  1 = 70\n";
  }
  void TearDown() override {
    std::remove(script.c_str());
    EngineTest::TearDown();
  }
  std::vector<uint16_t> original;
  std::string script;
};

TEST_F(DisplacementBumpNames, AllFiveRunTheDisplacementExportAlike) {
  // By hand: refresh, premultiply, displace by 40 % with the colour (10, 20, 30).
  PMR_IPLUpdateSrcBuffer32();
  PMR_AdjustRGBA32PreFilter(engine::State().processingBuffers.src32, kW, kH);
  PMR_IPLDisplacementBummp(script.c_str(), 40.0, 10 | 20 << 8 | 30 << 16);
  const std::vector<uint16_t> expected = palmora_test::ReadLayer(2);
  ASSERT_NE(expected, original);
  for (const char* name :
       {"Displacement Bump Material", "Displacement Bump Nature", "Displacement Bump Surface",
        "Displacement Bump Other", "Displacement Bump Utility"}) {
    palmora_test::WriteLayer(2, original);
    PMR_IPLImageProcess(0, name, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 20, 30,
                        script.c_str());
    EXPECT_EQ(palmora_test::ReadLayer(2), expected) << name;
  }
  // A missing script leaves the layer as it was.
  palmora_test::WriteLayer(2, original);
  PMR_IPLImageProcess(0, "Displacement Bump Other", 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                      10, 20, 30, "/nonexistent/relief.picscript");
  EXPECT_EQ(palmora_test::ReadLayer(2), original);
}

// With the left half protected by the mask, the displacement changes only the open half.
TEST_F(DisplacementBumpNames, TheMaskProtectsPixels) {
  engine::EngineState& s = engine::State();
  ASSERT_NE(s.maskPlane, nullptr);
  for (int i = 0; i < kW * kH; ++i) s.maskPlane[i] = (i % kW) < kW / 2 ? 0 : 65535;
  s.maskEnabled = 1;
  PMR_IPLImageProcess(0, "Displacement Bump Nature", 0, 800, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                      10, 20, 30, script.c_str());
  const std::vector<uint16_t> after = palmora_test::ReadLayer(2);
  int changedOpen = 0;
  for (int i = 0; i < kW * kH; ++i) {
    const bool same = std::equal(&after[i * 4], &after[i * 4] + 4, &original[i * 4]);
    if ((i % kW) < kW / 2)
      EXPECT_TRUE(same) << "protected pixel " << i;
    else
      changedOpen += !same;
  }
  EXPECT_GT(changedOpen, 0);
}

}  // namespace
