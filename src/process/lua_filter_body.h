// The body of the "Lua Filter" effect: a user's filter script run over the processing buffers.
#pragma once

#include "process/effect_call.h"

namespace process {

// Runs the script named by the text argument with the dialog's values as the filter run takes
// them: the six sliders as they are (tenths of a percent are thousandths), options 1 and 2 as the
// two style choices and options 3 to 8 as the six check boxes. The source buffer 32 must already
// show the current layer; the run writes its result back itself.
void LuaFilterBody(const EffectCall& call);

}  // namespace process
