#include "process/lua_filter_body.h"

#include <algorithm>
#include <iterator>

#include "script/lua_filter_run.h"

namespace process {

void LuaFilterBody(const EffectCall& call) {
  script::FilterRunArguments arguments;
  arguments.scriptPath = call.text;
  std::copy(std::begin(call.sliders), std::end(call.sliders), arguments.sliders);
  std::copy(call.options, call.options + 2, arguments.styles);
  std::copy(call.options + 2, call.options + 8, arguments.flags);
  script::LuaFilterRun(arguments);
}

}  // namespace process
