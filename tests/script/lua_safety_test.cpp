#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/engine_state.h"
#include "palmora/lua.h"
#include "script/lua_test_support.h"

namespace {

using palmora_test::LuaFilterTest;

using LuaSafety = LuaFilterTest;

TEST_F(LuaSafety, ASyntaxErrorShowsTheBoxAndChangesNothing) {
  MakeFilterCanvas(3, 3);
  const auto layer = palmora_test::ReadLayer(2);
  Run("set_rgb(0, 0, 1, 1, 1) this is not lua");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].second, "Lua Script Error");
  EXPECT_NE(boxes_[0].first.find("filter.lua"), std::string::npos);
  EXPECT_EQ(palmora_test::ReadLayer(2), layer);
  EXPECT_STREQ(PMR_GetLastError(), "");
}

TEST_F(LuaSafety, AMissingFileIsAScriptError) {
  MakeFilterCanvas(2, 2);
  RunFile(scratch_ + "/nowhere.lua");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].second, "Lua Script Error");
}

TEST_F(LuaSafety, BadArgumentsToEngineFunctionsAreScriptErrors) {
  MakeFilterCanvas(2, 2);
  for (const char* script : {"set_rgb(0, 0, 1)", "get_rgb()", "set_mask(0, 0)", "get_rgb({}, 0)",
                             "bit_and(1)", "merge()", "set_hsv(0, 0, 'x', 1, 1)"}) {
    boxes_.clear();
    Run(script);
    ASSERT_EQ(boxes_.size(), 1u) << script;
    EXPECT_EQ(boxes_[0].second, "Lua Script Error") << script;
  }
}

TEST_F(LuaSafety, RunawayRecursionAndMemoryEndAsScriptErrors) {
  MakeFilterCanvas(2, 2);
  PMR_SetLuaMemoryLimit(64);
  Run("local function f(n) return f(n + 1) + 1 end f(1)");
  ASSERT_EQ(boxes_.size(), 1u);
  Run("local t = {} while true do t[#t + 1] = string.rep('x', 1048576) .. #t end");
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_NE(boxes_[1].first.find("memory"), std::string::npos) << boxes_[1].first;
  Run("os.exit(3)");
  ASSERT_EQ(boxes_.size(), 3u);
  PMR_SetLuaMemoryLimit(0);
  // The engine is still usable afterwards.
  Run("set_rgb(0, 0, 1, 1, 1)");
  EXPECT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(Destination()[0], 255);
}

TEST_F(LuaSafety, EscapeStopsAScriptThatIgnoresIt) {
  MakeFilterCanvas(8, 8);
  PMR_SignalEscape();
  const auto start = std::chrono::steady_clock::now();
  // Touches pixels, so it can be stopped under every Lua.
  Run("while true do set_rgb(1, 1, get_rgb(2, 2)) end");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].first.find("stopped"), std::string::npos);
}

TEST_F(LuaSafety, EscapeFromAnotherThreadStopsARunningScript) {
  MakeFilterCanvas(4, 4);
  std::thread host([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    PMR_SignalEscape();
  });
  Run("local n = 0 while true do n = n + get_value(0, 0) end");
  host.join();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].first.find("stopped"), std::string::npos);
}

TEST_F(LuaSafety, AScriptThatPollsEscapeFinishesOnItsOwnTerms) {
  MakeFilterCanvas(2, 2);
  PMR_SignalEscape();
  Run("while is_escape() == 0 do end set_rgb(0, 0, 0, 1, 0)");
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(Destination()[1], 255);
  Run("set_alpha(0, 0, is_escape())");  // each press is taken once
  EXPECT_EQ(Destination()[3], 0);
}

#if !PALMORA_LUAJIT
TEST_F(LuaSafety, EscapeStopsAPureComputeLoopUnderTheReferenceLua) {
  MakeFilterCanvas(2, 2);
  PMR_SignalEscape();
  Run("local x = 0 while true do x = x + 1 end");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].first.find("stopped"), std::string::npos);
}
#endif

TEST_F(LuaSafety, NoBuffersMeansNoRun) {
  MakeCanvas(2, 2);
  Run("message_box('ran', 'x')");
  EXPECT_TRUE(boxes_.empty());
}

}  // namespace
