// What the host checks around an effect run so that a failed effect is a failure, not an
// unchanged picture: the file an effect's text names must be there before it runs, and a script
// error reported while it runs fails the step.
#pragma once

#include <string>

namespace host {

// Throws HostError when effect takes a file in its text argument ("Lua Filter": the script;
// "Adobe Compatible Plug-ins": "category :: name :: file") and that file is missing.
void CheckEffectText(const std::string& effect, const std::string& text);

// Collects the script errors the engine reports through its message box while it lives ("Lua
// Script Error"); other messages go to standard error as lines. Restores the default on leaving.
class ScriptErrorCatcher {
 public:
  ScriptErrorCatcher();
  ~ScriptErrorCatcher();
  ScriptErrorCatcher(const ScriptErrorCatcher&) = delete;
  ScriptErrorCatcher& operator=(const ScriptErrorCatcher&) = delete;

  // The first error, on one line; empty when none came.
  const std::string& error() const { return error_; }

 private:
  static void Show(const char* text, const char* caption, void* user);
  std::string error_;
};

}  // namespace host
