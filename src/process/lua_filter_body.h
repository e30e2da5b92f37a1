// The body of the "Lua Filter" effect: a user's filter script run over the processing buffers.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

// Runs the script named by the text argument with the dialog's values as the filter run takes
// them: the six sliders as they are (tenths of a percent are thousandths), options 1 and 2 as the
// two style choices and options 3 to 8 as the six check boxes. The source buffer 32 must already
// show the current layer; the run writes its result back itself.
void LuaFilterBody(const EffectCall& call);

inline constexpr EffectParameter kLuaFilterParameters[] = {
    Slider(1, "script slider 1", 500),
    Slider(2, "script slider 2", 500),
    Slider(3, "script slider 3", 500),
    Slider(4, "script slider 4", 500),
    Slider(5, "script slider 5", 500),
    Slider(6, "script slider 6", 500),
    Option(1, "script style choice 1", INT32_MIN, INT32_MAX, 0),
    Option(2, "script style choice 2", INT32_MIN, INT32_MAX, 0),
    Flag(3, "script check box 1"),
    Flag(4, "script check box 2"),
    Flag(5, "script check box 3"),
    Flag(6, "script check box 4"),
    Flag(7, "script check box 5"),
    Flag(8, "script check box 6"),
    TextArgument("filter script", "filters/emboss.lua"),
};
// A user's filter script (the text argument) with the dialog's values.
inline constexpr EffectDescriptor kLuaFilterEffect =
    FreeFormRow("Lua Filter", EffectRoute::kOnSource, LuaFilterBody, kLuaFilterParameters,
                "Runs a Lua filter script on the layer.");

}  // namespace process
