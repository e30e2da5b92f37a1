// The limits a filter's Lua state runs under, settable by the host.
#pragma once

#include <cstddef>
#include <cstdint>

namespace script {

// The memory one filter state may hold unless the host sets another figure.
inline constexpr std::size_t kDefaultLuaMemoryLimit = std::size_t{1} << 30;
// Safe mode never allows more than this, nor runs longer than kSafeTimeLimitMs without a host
// figure.
inline constexpr std::size_t kSafeLuaMemoryLimit = std::size_t{256} << 20;
inline constexpr int64_t kSafeTimeLimitMs = 60000;
// Nested calls from library functions back into the script (string.gsub with a function,
// table.sort, pcall, tostring, coroutine.resume, ...); each level costs C stack.
inline constexpr int kMaxNestedCalls = 100;

// 0 restores the default.
void SetLuaMemoryLimit(std::size_t bytes);
std::size_t LuaMemoryLimit();

// The longest one run may take, in milliseconds; 0 for none (the default). A run with a limit
// runs without the compiler under LuaJIT, so that the limit reaches every loop.
void SetLuaTimeLimit(int64_t milliseconds);
int64_t LuaTimeLimit();

// Safe mode, for scripts from untrusted sources: no io, os, ffi, debug, package or module loading,
// no file loading, and the limits above.
void SetLuaSafeMode(bool on);
bool LuaSafeMode();

}  // namespace script
