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

// The folder this program's file is in ("" when the system does not say).
std::filesystem::path ProgramFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self.parent_path();
}

}  // namespace

void SetDataFolder(const std::string& folder) { Chosen() = folder; }

std::string DataFolder() {
  if (!Chosen().empty()) return WithSeparator(Chosen());
  if (const char* env = std::getenv("PALMORA_DATA"); env && *env) return WithSeparator(env);
  // An installed program finds its data beside itself, wherever the prefix was moved to; only the
  // program in its build folder uses the source tree's data.
  const std::filesystem::path folder = ProgramFolder();
  std::error_code error;
  if (!folder.empty() && std::filesystem::equivalent(folder, PALMORA_BUILD_FOLDER, error))
    return WithSeparator(PALMORA_SOURCE_DATA);
  return WithSeparator((folder / PALMORA_DATA_FROM_PROGRAM).lexically_normal().string());
}

std::string DataPath(const std::string& name) {
  std::error_code error;
  if (name.empty() || std::filesystem::exists(name, error)) return name;
  return DataFolder() + name;
}

}  // namespace host
