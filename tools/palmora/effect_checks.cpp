#include "effect_checks.h"

#include <cstdio>
#include <filesystem>

#include "host_error.h"
#include "palmora/palmora.h"

namespace host {

void CheckEffectText(const std::string& effect, const std::string& text) {
  std::error_code error;
  if (effect == "Lua Filter") {
    if (text.empty()) throw HostError("effect 'Lua Filter' needs the script's path in --text");
    if (!std::filesystem::is_regular_file(text, error))
      throw HostError("cannot read '" + text + "': no such file");
  } else if (effect == "Adobe Compatible Plug-ins") {
    // The plug-in's file follows the second separator and may itself hold one.
    const std::string separator = " :: ";
    const std::size_t first = text.find(separator);
    const std::size_t second =
        first == std::string::npos ? first : text.find(separator, first + separator.size());
    if (second == std::string::npos)
      throw HostError("effect 'Adobe Compatible Plug-ins' needs --text 'category :: name :: file'");
    const std::string file = text.substr(second + separator.size());
    if (!std::filesystem::is_regular_file(file, error))
      throw HostError("cannot read plug-in '" + file + "': no such file");
  }
}

ScriptErrorCatcher::ScriptErrorCatcher() { PMR_SetMessageBoxCallback(&Show, this); }

ScriptErrorCatcher::~ScriptErrorCatcher() { PMR_SetMessageBoxCallback(nullptr, nullptr); }

void ScriptErrorCatcher::Show(const char* text, const char* caption, void* user) {
  auto* self = static_cast<ScriptErrorCatcher*>(user);
  const std::string title = caption ? caption : "";
  if (title != "Lua Script Error") {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text ? text : "");
    return;
  }
  if (!self->error_.empty()) return;
  self->error_ = text ? text : "";
  for (char& c : self->error_)
    if (c == '\n' || c == '\r') c = ' ';
}

}  // namespace host
