#include "script/lua_filter_run.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "engine/engine_state.h"
#include "engine/filter_script_runner.h"
#include "platform/message_box.h"
#include "engine/processing_buffers.h"
#include "script/lua_engine_bridge.h"
#include "script/lua_ffi_accessors.h"
#include "script/lua_pixel_api.h"
#include "script/lua_run_context.h"
#include "script/lua_sandbox.h"
#include "script/lua_text_chunks.h"
#include "script/paint_script_writer.h"

namespace script {
namespace {

constexpr const char* kErrorCaption = "Lua Script Error";

// Shows the error on top of the stack (bounded: a runaway message cannot overflow anything) and
// pops it.
void ShowScriptError(lua_State* L) {
  const char* message = lua_tostring(L, -1);
  char text[1024];
  std::snprintf(text, sizeof text, "%s", message ? message : "(error object is not a string)");
  platform::ShowMessageBox(text, kErrorCaption);
  lua_pop(L, 1);
}

// Makes the run visible to the registered functions for exactly as long as it lasts.
class ActiveRun {
 public:
  explicit ActiveRun(LuaRunContext& run) { SetCurrentRun(&run); }
  ~ActiveRun() { SetCurrentRun(nullptr); }
};

struct RunSetup {
  const FilterGlobals* globals;
  LuaRunContext* run;
};

// Runs in protected mode, so that a memory failure here is a script error rather than a panic.
int SetUpRun(lua_State* L) {
  const RunSetup* setup = static_cast<const RunSetup*>(lua_touserdata(L, 1));
  RegisterFilterApi(L, *setup->globals);
  InstallFfiAccessors(L, *setup->run);
  return 0;
}

// The "Lua Filter" effect runs scripts through the engine's hand-over: installed when the library
// loads.
struct RunnerInstaller {
  RunnerInstaller() { engine::SetFilterScriptRunner(&LuaFilterRun); }
} runnerInstaller;

}  // namespace

void LuaFilterRun(const FilterRunArguments& arguments) {
  engine::EngineState& s = engine::State();
  // Only buffers of the present canvas size: the run addresses them with the canvas geometry.
  uint8_t* src = engine::UsableSrcBuffer32();
  uint8_t* dst = engine::UsableDstBuffer32();
  // A script that starts another filter run (through a message-box callback, say) is refused.
  if (!src || !dst || CurrentRun() || s.canvasWidth <= 0 || s.canvasHeight <= 0) return;

  LuaRunContext run;
  run.src = src;
  run.dst = dst;
  run.mask = s.maskPlane;
  run.width = s.canvasWidth;
  run.height = s.canvasHeight;
  std::memcpy(dst, src, std::size_t(run.width) * run.height * 4);

  {
    ActiveRun active(run);
    const bool safe = LuaSafeMode();
    const int64_t limitMs = LuaTimeLimit() > 0 ? LuaTimeLimit() : (safe ? kSafeTimeLimitMs : 0);
    LuaSandbox sandbox(safe, limitMs > 0);
    lua_State* L = sandbox.state();
    if (!L) {
      platform::ShowMessageBox("not enough memory to start the script", kErrorCaption);
      return;
    }
    FilterGlobals globals;
    globals.width = run.width;
    globals.height = run.height;
    std::copy(std::begin(arguments.sliders), std::end(arguments.sliders), globals.sliders);
    std::copy(std::begin(arguments.styles), std::end(arguments.styles), globals.styles);
    std::copy(std::begin(arguments.flags), std::end(arguments.flags), globals.flags);
    RunSetup setup{&globals, &run};
    if (lua_cpcall(L, SetUpRun, &setup) != 0) {
      ShowScriptError(L);
      return;
    }
    if (limitMs > 0) {
      run.hasDeadline = true;
      run.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    }

    const char* path = arguments.scriptPath ? arguments.scriptPath : "";
    if (LoadSourceFile(L, path) != 0) {
      ShowScriptError(L);
    } else if (lua_pcall(L, 0, 1, 0) != 0) {
      ShowScriptError(L);
    } else if (run.stopMessage) {
      // Stopped, yet the script ended without the error (nothing may take a stop's place).
      platform::ShowMessageBox(run.stopMessage, kErrorCaption);
    } else {
      LoadDestinationIntoLayer(run);
    }
    if (run.control[0] == 1) std::memcpy(src, dst, std::size_t(run.width) * run.height * 4);
    PaintScript().Close();
  }
}

}  // namespace script
