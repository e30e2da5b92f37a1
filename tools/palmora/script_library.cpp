#include "script_library.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "data_folder.h"
#include "host_error.h"

namespace host {

std::string ScriptFamily(const std::string& effect) {
  static const char* const kKinds[] = {"Backgrounds ", "Texturize Emboss ", "Texturize Bump ",
                                       "Displacement Bump "};
  static const char* const kFamilies[] = {"Material", "Nature", "Surface", "Other", "Utility"};
  for (const std::string kind : kKinds)
    for (const std::string family : kFamilies)
      if (effect == kind + family) {
        std::string lower = family;
        for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
        return lower;
      }
  return {};
}

std::vector<std::string> ScriptNames(const std::string& family) {
  std::vector<std::string> names;
  std::error_code error;
  const std::filesystem::path folder = DataFolder() + "scripts/" + family;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.path().extension() == ".picscript") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ResolveScriptText(const std::string& effect, const std::string& text) {
  const std::string family = ScriptFamily(effect);
  std::error_code error;
  if (family.empty() || std::filesystem::exists(text, error)) return text;
  const std::string shipped = DataFolder() + "scripts/" + family + "/" + text + ".picscript";
  if (std::filesystem::exists(shipped, error)) return shipped;
  std::string known;
  for (const std::string& name : ScriptNames(family)) known += (known.empty() ? "" : ", ") + name;
  throw HostError("no picture script '" + text + "' for " + effect + " (" + family +
                  " scripts: " + known + ")");
}

}  // namespace host
