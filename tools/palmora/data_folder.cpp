#include "data_folder.h"

#include <cstdlib>
#include <filesystem>

namespace host {
namespace {

std::string& Chosen() {
  static std::string folder;
  return folder;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

void SetDataFolder(const std::string& folder) { Chosen() = folder; }

std::string DataFolder() {
  if (!Chosen().empty()) return WithSeparator(Chosen());
  if (const char* env = std::getenv("PALMORA_DATA"); env && *env) return WithSeparator(env);
  // A program run from its build tree uses the tree's data; an installed one its installed copy.
  std::error_code error;
  if (std::filesystem::is_directory(PALMORA_SOURCE_DATA, error))
    return WithSeparator(PALMORA_SOURCE_DATA);
  return WithSeparator(PALMORA_INSTALLED_DATA);
}

std::string DataPath(const std::string& name) {
  std::error_code error;
  if (name.empty() || std::filesystem::exists(name, error)) return name;
  return DataFolder() + name;
}

}  // namespace host
