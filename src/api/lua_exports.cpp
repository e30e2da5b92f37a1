// Exports: Lua filters and the host services they use.
#include "api/guard.h"
#include "palmora/lua.h"
#include "platform/escape_latch.h"
#include "platform/message_box.h"
#include "script/lua_filter_run.h"
#include "script/lua_limits.h"

PMR_API void PMR_LuaFilterRun(const char* script, int32_t slider1, int32_t slider2, int32_t slider3,
                              int32_t slider4, int32_t slider5, int32_t slider6, int32_t style1,
                              int32_t style2, int32_t flag1, int32_t flag2, int32_t flag3,
                              int32_t flag4, int32_t flag5, int32_t flag6) {
  api::guard("LuaFilterRun Excpt", [&] {
    script::LuaFilterRun({script,
                          {slider1, slider2, slider3, slider4, slider5, slider6},
                          {style1, style2},
                          {flag1, flag2, flag3, flag4, flag5, flag6}});
  });
}
PMR_API void PMR_SetMessageBoxCallback(PMR_MessageBoxCallback callback, void* user) {
  platform::SetMessageBoxCallback(callback, user);
}
PMR_API void PMR_SignalEscape(void) { platform::SignalEscape(); }
PMR_API void PMR_SetLuaMemoryLimit(int32_t megabytes) {
  script::SetLuaMemoryLimit(megabytes > 0 ? std::size_t(megabytes) << 20 : 0);
}
PMR_API void PMR_SetLuaTimeLimit(int32_t milliseconds) { script::SetLuaTimeLimit(milliseconds); }
PMR_API void PMR_SetLuaSafeMode(int32_t on) { script::SetLuaSafeMode(on != 0); }
