// The "Lua Filter" effect through PMR_IPLImageProcess: the dialog's values reaching the script, the
// source refreshed from the current layer, the result written back through the mask, and script
// errors leaving the layer and the engine as they were.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/filter_script_runner.h"
#include "script/lua_test_support.h"

namespace {

constexpr int32_t kW = 11, kH = 6;

class LuaFilterEffect : public palmora_test::LuaFilterTest {
 protected:
  void SetUp() override {
    LuaFilterTest::SetUp();
    MakeFilterCanvas(kW, kH);
    // Random opaque colours, so that the 8-bit round trip of an open pixel is exact.
    std::mt19937 rng(31);
    std::uniform_int_distribution<int> sample(0, 65535);
    std::vector<uint16_t> pixels(std::size_t(kW) * kH * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = uint16_t(i % 4 == 3 ? 65535 : sample(rng));
    palmora_test::WriteLayer(2, pixels);
  }

  // The effect with sliders, options 1..8 and the script file as its text argument.
  static void Process(const std::string& script, const int32_t s[6], const int32_t o[8]) {
    PMR_IPLImageProcess(0, "Lua Filter", 0, s[0], s[1], s[2], s[3], s[4], s[5], o[0], o[1], o[2],
                        o[3], o[4], o[5], o[6], o[7], 0, 0, 0, script.c_str());
  }
  void ProcessText(const std::string& text) {
    const int32_t zeros[8] = {};
    Process(WriteScript(text), zeros, zeros);
  }

  static std::vector<uint8_t> Layer8() {
    std::vector<uint8_t> out(std::size_t(kW) * kH * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), kW * 4, 2), 1);
    return out;
  }
};

// Inverts the colour; half a step keeps the truncation of v x 255 on the exact byte.
constexpr const char* kInvert = R"(
  local h = 0.5 / 255
  for y = 0, height - 1 do
    for x = 0, width - 1 do
      local r, g, b = get_rgb(x, y)
      set_rgb(x, y, 1 - r + h, 1 - g + h, 1 - b + h)
    end
  end
)";

// Sliders arrive in thousandths, options 1 and 2 as the one-based style choices, options 3 to 8 as
// the check boxes by their low byte.
TEST_F(LuaFilterEffect, TheDialogValuesReachTheScript) {
  const std::string script = WriteScript(R"(
    message_box(string.format("%g %g %g %g %g %g", sliderVal1, sliderVal2, sliderVal3,
                              sliderVal4, sliderVal5, sliderVal6), "sliders")
    message_box(string.format("%g %g", styleVal1, styleVal2), "styles")
    message_box(tostring(flagVal1) .. " " .. tostring(flagVal2) .. " " .. tostring(flagVal3) ..
                " " .. tostring(flagVal4) .. " " .. tostring(flagVal5) .. " " ..
                tostring(flagVal6), "flags")
  )");
  const int32_t sliders[6] = {123, 250, 377, 499, 640, 1000};
  const int32_t options[8] = {3, 0, 0x100, 1, 2, 0, 0x1FF, 0};
  Process(script, sliders, options);
  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(boxes_[0].first, "0.123 0.25 0.377 0.499 0.64 1");
  EXPECT_EQ(boxes_[1].first, "4 1");
  EXPECT_EQ(boxes_[2].first, "false true true false true false");
}

// The source buffer is refreshed from the layer before the script runs: a stale buffer is never
// what the filter sees.
TEST_F(LuaFilterEffect, TheFilterReadsTheCurrentLayerAndWritesItBack) {
  const std::vector<uint8_t> before = Layer8();
  std::vector<uint8_t> stale(before.size(), 0x11);
  PMR_IPLSetSrcBuffer32(stale.data());
  ProcessText(kInvert);
  EXPECT_TRUE(boxes_.empty());
  const std::vector<uint8_t> after = Layer8();
  for (std::size_t i = 0; i < after.size(); ++i)
    ASSERT_EQ(after[i], i % 4 == 3 ? before[i] : 255 - before[i]) << i;
}

TEST_F(LuaFilterEffect, TheMaskKeepsProtectedPixelsWhole) {
  engine::EngineState& s = engine::State();
  for (int i = 0; i < kW * kH; ++i) s.maskPlane[i] = (i / kW) < kH / 2 ? 0 : 65535;
  s.maskEnabled = 1;
  const std::vector<uint16_t> before16 = palmora_test::ReadLayer(2);
  const std::vector<uint8_t> before = Layer8();
  ProcessText(kInvert);
  const std::vector<uint16_t> after16 = palmora_test::ReadLayer(2);
  const std::vector<uint8_t> after = Layer8();
  for (int i = 0; i < kW * kH; ++i) {
    if ((i / kW) < kH / 2) {
      ASSERT_EQ(std::memcmp(&before16[i * 4], &after16[i * 4], 8), 0) << "protected " << i;
    } else {
      for (int c = 0; c < 3; ++c) ASSERT_EQ(after[i * 4 + c], 255 - before[i * 4 + c]) << i;
    }
  }
}

// A script that fails, or no script at all, shows the error box and changes nothing; the engine
// runs the next filter as usual and records no failure of its own.
TEST_F(LuaFilterEffect, ScriptErrorsLeaveTheLayerAndTheEngineUsable) {
  const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
  ProcessText("set_rgb(0, 0, 1, 0, 0)\nerror('stop here')");
  ProcessText("this is not lua");
  const int32_t zeros[8] = {};
  PMR_IPLImageProcess(0, "Lua Filter", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                      nullptr);
  Process(scratch_ + "/missing.lua", zeros, zeros);
  ASSERT_EQ(boxes_.size(), 4u);
  for (const auto& box : boxes_) EXPECT_EQ(box.second, "Lua Script Error");
  EXPECT_NE(boxes_[0].first.find("stop here"), std::string::npos);
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
  EXPECT_STREQ(PMR_GetLastError(), "");

  const std::vector<uint8_t> before8 = Layer8();
  ProcessText(kInvert);
  EXPECT_EQ(Layer8()[0], 255 - before8[0]);
}

// The effects reach the script room only through the runner it installs when the library loads:
// without one the effect runs nothing and leaves the layer alone; put back, scripts run again.
TEST_F(LuaFilterEffect, TheScriptRoomInstallsItsRunnerAtLoad) {
  struct Restore {
    engine::FilterScriptRunner runner;
    ~Restore() { engine::SetFilterScriptRunner(runner); }
  } restore{engine::SetFilterScriptRunner(nullptr)};
  ASSERT_NE(restore.runner, nullptr);
  const std::vector<uint8_t> before = Layer8();
  ProcessText(kInvert);
  EXPECT_EQ(Layer8(), before);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_STREQ(PMR_GetLastError(), "");

  engine::SetFilterScriptRunner(restore.runner);
  ProcessText(kInvert);
  EXPECT_EQ(Layer8()[0], 255 - before[0]);
}

TEST_F(LuaFilterEffect, TwentyFourBitBuffersAreFreedAfterTheRun) {
  PMR_IPLAllocSrcBuffer24();
  PMR_IPLAllocDstBuffer24();
  ProcessText("progress(1)");
  EXPECT_EQ(engine::State().processingBuffers.src24, nullptr);
  EXPECT_EQ(engine::State().processingBuffers.dst24, nullptr);
}

}  // namespace
