// A fresh Lua state for one filter run, with the limits that keep a faulty or hostile script from
// taking the engine down: a ceiling on the memory the state may hold, an instruction-count hook
// that stops the script when the host asks (the Escape latch, see lua_run_context.h) or when its
// time is up, protected calls that cannot catch such a stop, a bound on nested library calls, and
// loaders that take source text only.
//
// Under LuaJIT, code the compiler has turned into machine code does not run hooks: a loop that
// calls no engine function could then be stopped only by the engine functions it calls. A state
// made with mustStop (a run with a time limit, or in safe mode) therefore runs without the
// compiler; otherwise every pixel function checks for a stop request, so filters that touch pixels
// stay stoppable.
#pragma once

#include <cstddef>

#include "script/lua_headers.h"
#include "script/lua_limits.h"

namespace script {

class LuaSandbox {
 public:
  // safe: only the base, string, table and math libraries (and bit under LuaJIT), without file
  // loading; see SetLuaSafeMode.
  LuaSandbox(bool safe, bool mustStop);
  ~LuaSandbox();
  LuaSandbox(const LuaSandbox&) = delete;
  LuaSandbox& operator=(const LuaSandbox&) = delete;

  // Null when the state could not be created or set up (no memory).
  lua_State* state() const { return state_; }

 private:
  struct Budget {
    std::size_t used = 0;
    std::size_t limit = 0;
  };
  static void* Allocate(void* budget, void* block, std::size_t oldSize, std::size_t newSize);
  static void Hook(lua_State* L, lua_Debug* ar);

  Budget budget_;
  lua_State* state_ = nullptr;
};

}  // namespace script
