// Support code for the filter-script tests (the file name joins it to the test programs).
#include "script/lua_test_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "palmora/lua.h"

namespace palmora_test {
namespace {
void RecordBox(const char* text, const char* caption, void* user) {
  static_cast<std::vector<std::pair<std::string, std::string>>*>(user)->emplace_back(text, caption);
}
}  // namespace

void LuaFilterTest::SetUp() {
  EngineTest::SetUp();
  char pattern[] = "/tmp/palmora-lua-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  scratch_ = pattern;
  PMR_SetMessageBoxCallback(RecordBox, &boxes_);
}

void LuaFilterTest::TearDown() {
  PMR_SetMessageBoxCallback(nullptr, nullptr);
  std::string command = "rm -rf '" + scratch_ + "'";
  if (std::system(command.c_str()) != 0) ADD_FAILURE() << "could not remove " << scratch_;
  EngineTest::TearDown();
}

void LuaFilterTest::MakeFilterCanvas(int32_t width, int32_t height) {
  MakeCanvas(width, height, 2, 2);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  auto& buffers = engine::State().processingBuffers;
  ASSERT_NE(buffers.src32, nullptr);
  ASSERT_NE(buffers.dst32, nullptr);
  const std::size_t bytes = std::size_t(width) * height * 4;
  for (std::size_t i = 0; i < bytes; ++i) buffers.src32[i] = uint8_t(i % 251);
  std::memset(buffers.dst32, 0, bytes);
}

std::string LuaFilterTest::WriteScript(const std::string& text, const std::string& name) {
  const std::string path = scratch_ + "/" + name;
  std::ofstream(path) << text;
  return path;
}

void LuaFilterTest::Run(const std::string& text) { RunFile(WriteScript(text)); }

void LuaFilterTest::RunFile(const std::string& path, const int32_t sliders[6],
                            const int32_t styles[2], const int32_t flags[6]) {
  const int32_t zeros[6] = {};
  if (!sliders) sliders = zeros;
  if (!styles) styles = zeros;
  if (!flags) flags = zeros;
  PMR_LuaFilterRun(path.c_str(), sliders[0], sliders[1], sliders[2], sliders[3], sliders[4],
                   sliders[5], styles[0], styles[1], flags[0], flags[1], flags[2], flags[3],
                   flags[4], flags[5]);
}

uint8_t* LuaFilterTest::Source() const { return engine::State().processingBuffers.src32; }
uint8_t* LuaFilterTest::Destination() const { return engine::State().processingBuffers.dst32; }

std::vector<uint8_t> LuaFilterTest::SourceCopy() const {
  const auto& s = engine::State();
  return {Source(), Source() + std::size_t(s.canvasWidth) * s.canvasHeight * 4};
}
std::vector<uint8_t> LuaFilterTest::DestinationCopy() const {
  const auto& s = engine::State();
  return {Destination(), Destination() + std::size_t(s.canvasWidth) * s.canvasHeight * 4};
}

}  // namespace palmora_test
