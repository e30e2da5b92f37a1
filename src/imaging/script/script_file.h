// Reading picture-script files (format in docs/picture-scripts.md).
#pragma once

#include <string_view>

#include "imaging/script/script_model.h"

namespace imaging::script {

inline constexpr size_t kMaxScriptFileBytes = 64 * 1024;
inline constexpr uint32_t kScriptFormatVersion = 1;

// Parses script text. False, leaving out unchanged, when the text breaks any rule of the format.
bool ParseScript(std::string_view text, Script& out);

// Reads and parses a script file. False for a missing, unreadable, oversized or malformed file.
bool ReadScriptFile(const char* path, Script& out);

}  // namespace imaging::script
