// The limits a filter's Lua state runs under, settable by the host.
#pragma once

#include <cstddef>

namespace script {

// The memory one filter state may hold unless the host sets another figure.
inline constexpr std::size_t kDefaultLuaMemoryLimit = std::size_t{1} << 30;

// 0 restores the default.
void SetLuaMemoryLimit(std::size_t bytes);
std::size_t LuaMemoryLimit();

}  // namespace script
