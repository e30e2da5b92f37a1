#include "script/lua_run_context.h"

#include "platform/escape_latch.h"

namespace script {
namespace {
LuaRunContext* g_run = nullptr;
constexpr std::chrono::milliseconds kEscapeGrace{200};
}  // namespace

LuaRunContext* CurrentRun() { return g_run; }
void SetCurrentRun(LuaRunContext* run) { g_run = run; }

bool StopRequested(LuaRunContext& run) {
  if (!platform::EscapePending()) {
    run.escapeSeen = false;
    return false;
  }
  const auto now = std::chrono::steady_clock::now();
  if (!run.escapeSeen) {
    run.escapeSeen = true;
    run.escapeSeenAt = now;
    return false;
  }
  if (now - run.escapeSeenAt < kEscapeGrace) return false;
  platform::TakeEscape();
  run.escapeSeen = false;
  return true;
}

}  // namespace script
