// Helpers for running filter scripts in tests: a canvas with processing buffers, script files in a
// scratch folder, and a message-box recorder.
#pragma once

#include <string>
#include <vector>

#include "support/engine_fixture.h"

namespace palmora_test {

class LuaFilterTest : public EngineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A canvas of the given size whose source buffer 32 holds a known pattern (pixel i has bytes
  // i*4+c modulo 251) and whose destination buffer is zero.
  void MakeFilterCanvas(int32_t width, int32_t height);
  // Writes text to a script file in the scratch folder and returns its path.
  std::string WriteScript(const std::string& text, const std::string& name = "filter.lua");
  // Runs a script given as text with default arguments.
  void Run(const std::string& text);
  void RunFile(const std::string& path, const int32_t sliders[6] = nullptr,
               const int32_t styles[2] = nullptr, const int32_t flags[6] = nullptr);

  uint8_t* Source() const;
  uint8_t* Destination() const;
  std::vector<uint8_t> SourceCopy() const;
  std::vector<uint8_t> DestinationCopy() const;

  std::string scratch_;
  std::vector<std::pair<std::string, std::string>> boxes_;  // text, caption
};

}  // namespace palmora_test
