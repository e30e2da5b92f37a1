// --safe: Lua filters from untrusted sources run in the engine's safe mode (no files, no os, no
// ffi or C modules, memory and time limits).
#pragma once

#include <CLI/CLI.hpp>

namespace host {

inline void AddSafeLuaFlag(CLI::App* command, bool& safe) {
  command->add_flag("--safe", safe,
                    "run the Lua filter in safe mode (only the base, string, table and math "
                    "libraries; memory and time limits)");
}

// Safe mode for the length of one command.
class SafeLuaMode {
 public:
  explicit SafeLuaMode(bool on);
  ~SafeLuaMode();
  SafeLuaMode(const SafeLuaMode&) = delete;
  SafeLuaMode& operator=(const SafeLuaMode&) = delete;
};

}  // namespace host
