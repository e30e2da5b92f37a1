// The hand-over between the effects that offer filter scripts and the room that runs them. The
// script room sits beside the effects, not below them, so it hands its runner over when the
// library loads and the "Lua Filter" effect calls it through here.
#pragma once

#include <cstdint>

namespace engine {

struct FilterScriptArguments {
  const char* scriptPath = nullptr;
  int32_t sliders[6] = {};  // thousandths
  int32_t styles[2] = {};   // zero-based
  int32_t flags[6] = {};    // low byte used
};

using FilterScriptRunner = void (*)(const FilterScriptArguments& arguments);

// Installs the runner (null removes it) and returns the one it replaces.
FilterScriptRunner SetFilterScriptRunner(FilterScriptRunner runner);
// The installed runner, or null when no script room was linked in.
FilterScriptRunner InstalledFilterScriptRunner();

}  // namespace engine
