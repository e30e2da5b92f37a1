#include "platform/plugin_host.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace platform {
namespace {

using Describe = int32_t (*)(int32_t index, const char** category, const char** name);
using Run = int32_t (*)(const char* name, const PMR_PluginImage* source,
                        PMR_PluginImage* destination, int32_t mode, PMR_PluginAbort abort,
                        PMR_PluginProgress progress, void* context);

constexpr int32_t kMaxFiltersPerPlugin = 4096;
constexpr const char* kSeparator = " :: ";

std::vector<std::filesystem::path> PluginFolders(const char* startFolder) {
  std::vector<std::filesystem::path> folders;
  if (const char* list = std::getenv("PALMORA_PLUGIN_PATH"); list && *list) {
    std::string all(list);
    for (std::size_t start = 0; start <= all.size();) {
      const std::size_t end = std::min(all.find(':', start), all.size());
      if (end > start) folders.emplace_back(all.substr(start, end - start));
      start = end + 1;
    }
    return folders;
  }
  folders.emplace_back(std::filesystem::path(startFolder ? startFolder : "") / "plugins");
  return folders;
}

// A loaded plug-in, unloaded again when it goes.
struct Library {
  void* handle = nullptr;
  explicit Library(const char* file) : handle(dlopen(file, RTLD_NOW | RTLD_LOCAL)) {}
  ~Library() {
    if (handle) dlclose(handle);
  }
  template <class F>
  F Find(const char* symbol) const {
    return handle ? reinterpret_cast<F>(dlsym(handle, symbol)) : nullptr;
  }
};

int32_t ListFilters(const std::filesystem::path& file, PluginFound found, void* user) {
  const std::string path = file.string();
  const Library library(path.c_str());
  const auto describe = library.Find<Describe>("palmora_plugin_describe");
  if (!describe) return 0;
  int32_t count = 0;
  for (int32_t index = 0; index < kMaxFiltersPerPlugin; ++index) {
    const char* category = nullptr;
    const char* name = nullptr;
    if (!describe(index, &category, &name)) break;
    if (!category || !name) continue;
    ++count;
    found(path.c_str(), category, name, user);
  }
  return count;
}

}  // namespace

int32_t ScanPSPlugin(int32_t value, const char* startFolder, PluginFound found, void* user) {
  if (!found) return 0;
  int32_t count = 0;
  std::error_code error;
  for (const std::filesystem::path& folder : PluginFolders(startFolder)) {
    if (!std::filesystem::is_directory(folder, error)) continue;
    auto visit = [&](const std::filesystem::directory_entry& entry) {
      if (entry.is_regular_file(error) && entry.path().extension() == ".so")
        count += ListFilters(entry.path(), found, user);
    };
    if (value != 0) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
        visit(entry);
    } else {
      for (const auto& entry : std::filesystem::directory_iterator(folder, error)) visit(entry);
    }
  }
  return count;
}

int32_t InvokePSPlugin(const PMR_PluginImage* source, PMR_PluginImage* destination,
                       const char* plugin, PMR_PluginAbort abort, PMR_PluginProgress progress,
                       void* context, int32_t mode) {
  if (!source || !destination || !plugin) return 1;
  // "category :: name :: file": the name is the middle part, the file the rest (which may itself
  // hold the separator).
  const std::string text(plugin);
  const std::size_t first = text.find(kSeparator);
  const std::size_t second = first == std::string::npos ? first : text.find(kSeparator, first + 4);
  if (second == std::string::npos) return 1;
  const std::string name = text.substr(first + 4, second - first - 4);
  const std::string file = text.substr(second + 4);
  const Library library(file.c_str());
  const auto run = library.Find<Run>("palmora_plugin_run");
  if (!run) return 1;
  return run(name.c_str(), source, destination, mode, abort, progress, context);
}

}  // namespace platform
