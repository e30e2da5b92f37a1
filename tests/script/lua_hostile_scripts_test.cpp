// Scripts that try to outlast, crash or escape the filter host: a stop cannot be caught, loops end
// at the time limit, nested library calls are bounded, precompiled chunks are refused, and safe
// mode leaves a script nothing outside the engine's buffers.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include "palmora/lua.h"
#include "script/lua_test_support.h"

namespace {

class LuaHostileScripts : public palmora_test::LuaFilterTest {
 protected:
  void TearDown() override {
    PMR_SetLuaTimeLimit(0);
    PMR_SetLuaSafeMode(0);
    PMR_SetLuaMemoryLimit(0);
    LuaFilterTest::TearDown();
  }
  // Runs the script and expects it to end with one error box whose text holds `expected`, within
  // a bound far above any limit the tests set.
  void ExpectStoppedWith(const std::string& script, const std::string& expected) {
    SCOPED_TRACE(script);
    boxes_.clear();
    const auto start = std::chrono::steady_clock::now();
    Run(script);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].second, "Lua Script Error");
    EXPECT_NE(boxes_[0].first.find(expected), std::string::npos) << boxes_[0].first;
  }
  // Runs a script that ends by painting pixel 0 white, and expects no box.
  void ExpectCompletes(const std::string& script) {
    SCOPED_TRACE(script);
    boxes_.clear();
    Destination()[0] = 0;
    Run(script + "\nset_rgb(0, 0, 1, 1, 1)");
    EXPECT_TRUE(boxes_.empty()) << (boxes_.empty() ? "" : boxes_[0].first);
    EXPECT_EQ(Destination()[0], 255);
  }
};

TEST_F(LuaHostileScripts, AStopCannotBeCaught) {
  MakeFilterCanvas(4, 4);
  for (const char* script : {
           "while true do pcall(function() while true do set_rgb(0, 0, get_rgb(1, 1)) end end) end",
           "while true do xpcall(function() while true do get_value(0, 0) end end,"
           " function() while true do get_value(0, 0) end end) end",
           "while true do coroutine.resume(coroutine.create(function() while true do"
           " get_value(0, 0) end end)) end",
           "while true do pcall(pcall, pcall, function() while true do get_value(0, 0) end end) "
           "end",
       }) {
    PMR_SignalEscape();
    ExpectStoppedWith(script, "stopped");
  }
  // Nor the memory limit's stop: the script would free what it built and go on.
  PMR_SetLuaMemoryLimit(16);
  ExpectStoppedWith(
      "while true do pcall(function() local t = {} while true do"
      " t[#t + 1] = string.rep('x', 65536) .. #t end end) end",
      "memory");
  // The next run starts afresh.
  PMR_SetLuaMemoryLimit(0);
  ExpectCompletes("local ok = pcall(error, 'caught') assert(not ok)");
}

TEST_F(LuaHostileScripts, TheTimeLimitEndsLoopsThatCallNoEngineFunction) {
  MakeFilterCanvas(2, 2);
  PMR_SetLuaTimeLimit(300);
  for (const char* script : {
           "while true do end",
           "local n = 0 while true do n = n + 1 end",
           "local s = '' while true do s = s .. 'x' if #s > 4096 then s = '' end end",
           "while true do collectgarbage() end",
           "while true do pcall(function() while true do end end) end",
           "pcall(debug.sethook) if jit then pcall(jit.on) end while true do end",
       }) {
    ExpectStoppedWith(script, "stopped");
  }
  // Devices and pipes, which can keep a library call from ever returning, are not opened.
  ExpectStoppedWith("for line in io.lines('/dev/zero') do end", "not a regular file");
  ExpectCompletes(
      "assert(not pcall(io.open, '/dev/zero')) assert(not pcall(io.lines, '/dev/zero'))"
      " assert(loadfile('/dev/zero') == nil) assert(io.open('" +
      scratch_ + "/filter.lua'))");
  // A script that finishes in time is untouched by the limit.
  ExpectCompletes("local n = 0 for i = 1, 1000 do n = n + i end assert(n == 500500)");
}

TEST_F(LuaHostileScripts, NestedLibraryCallsAreBounded) {
  MakeFilterCanvas(2, 2);
  for (const char* script : {
           "local function f(s) return (string.gsub(s, '.', f)) end f('ab')",
           "local t = setmetatable({}, {__tostring = function(self) return tostring(self) end})"
           " print(tostring(t))",
           "local function f() table.sort({3, 2, 1}, function(a, b) f() return a < b end) end f()",
       }) {
    ExpectStoppedWith(script, "C stack overflow");
  }
  // Shallow nesting is untouched.
  ExpectCompletes(
      "local s = string.gsub('abc', '%w', function(c) return (string.gsub(c, '.',"
      " string.upper)) end) assert(s == 'ABC')");
}

TEST_F(LuaHostileScripts, PrecompiledChunksAreRefused) {
  MakeFilterCanvas(2, 2);
  ExpectCompletes(R"(
    local dumped = string.dump(function() return 1 end)
    local damaged = dumped:sub(1, 12) .. string.rep('\255', 64)
    for _, text in ipairs({dumped, damaged, '#!/bin/lua\n' .. dumped, '\239\187\191' .. dumped}) do
      local f, err = loadstring(text)
      assert(f == nil and err:find('precompiled'), tostring(err))
      local pieces = {text}
      f, err = load(function() return table.remove(pieces) end)
      assert(f == nil and err:find('precompiled'), tostring(err))
    end
    assert(loadstring('return 1 + 1')() == 2)
  )");
  // A precompiled file, as the filter itself or through loadfile and dofile.
  const std::string binary = scratch_ + "/binary.lua";
  std::ofstream(binary, std::ios::binary) << "\x1bLJ\x02garbage\x01\x02\x03";
  boxes_.clear();
  RunFile(binary);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].first.find("precompiled"), std::string::npos) << boxes_[0].first;
  ExpectCompletes("local f, err = loadfile('" + binary +
                  "') assert(f == nil and err:find('precompiled'))"
                  " assert(not pcall(dofile, '" +
                  binary + "'))");
  // Source files still load.
  const std::string source = WriteScript("#!/usr/bin/lua\nreturn 7\n", "module_file.lua");
  ExpectCompletes("assert(dofile('" + source + "') == 7)");
}

TEST_F(LuaHostileScripts, SafeModeLeavesOnlyTheEngineAndPureLibraries) {
  MakeFilterCanvas(3, 2);
  // The default keeps the standard libraries.
  ExpectCompletes("assert(io and os and require and loadfile and debug)");
  PMR_SetLuaSafeMode(1);
  ExpectCompletes(R"(
    assert(io == nil and os == nil and debug == nil and package == nil and require == nil)
    assert(loadfile == nil and dofile == nil and module == nil and ffi == nil and jit == nil)
    assert(string.format('%d', 3) == '3' and math.floor(2.5) == 2 and table.concat({1, 2}) == '12')
    local r, g, b = get_rgb(1, 1)
    set_rgb(1, 1, 1 - r, g, b)
  )");
  ExpectStoppedWith("local ffi = require('ffi')", "require");
  // No way back to the loaders through the library tables either.
  ExpectCompletes("assert(getmetatable('').__index == string and string.dump ~= nil)");
  PMR_SetLuaMemoryLimit(8);
  ExpectStoppedWith("local t = {} while true do t[#t + 1] = string.rep('y', 1048576) .. #t end",
                    "memory");
}

}  // namespace
