#include "engine/filter_script_runner.h"

namespace engine {
namespace {

// Constant-initialised, so a runner installed by another file's static initialiser is never
// overwritten by this file's.
FilterScriptRunner installed = nullptr;

}  // namespace

FilterScriptRunner SetFilterScriptRunner(FilterScriptRunner runner) {
  const FilterScriptRunner previous = installed;
  installed = runner;
  return previous;
}

FilterScriptRunner InstalledFilterScriptRunner() { return installed; }

}  // namespace engine
