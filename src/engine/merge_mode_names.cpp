#include "engine/merge_mode_names.h"

namespace engine {
inline namespace merge_modes {

int32_t MergeModeFromName(const char* name) {
  if (!name || !*name) return 0;
  const std::string_view wanted(name);
  for (int32_t mode = 0; mode < kMergeModeCount; ++mode) {
    if (mode != kModeUnnamed && kMergeModeNames[mode] == wanted) return mode;
  }
  return 0;
}

}  // namespace merge_modes
}  // namespace engine
