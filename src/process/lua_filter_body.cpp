#include "process/lua_filter_body.h"

#include <algorithm>
#include <iterator>

#include "engine/filter_script_runner.h"

namespace process {

void LuaFilterBody(const EffectCall& call) {
  const engine::FilterScriptRunner run = engine::InstalledFilterScriptRunner();
  if (!run) return;  // a build without the script room: the effect leaves the layer alone
  engine::FilterScriptArguments arguments;
  arguments.scriptPath = call.text;
  std::copy(std::begin(call.sliders), std::end(call.sliders), arguments.sliders);
  std::copy(call.options, call.options + 2, arguments.styles);
  std::copy(call.options + 2, call.options + 8, arguments.flags);
  run(arguments);
}

}  // namespace process
