// What the picture-script runner's distortions share as effects: one numbered effect run on the
// premultiplied source buffer 32 with colour and alpha apart, so that the runner sees opaque
// colour and alpha moves exactly as the colour does.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "process/effect_call.h"
#include "process/effect_descriptor.h"

namespace process {

// Option 1 of the distortions, as for the library transforms: what shows where the mapping
// reaches past the border (0 the effect colour, 1 wrap, 2 repeat, 3 mirror, 4 transparent).
inline constexpr EffectParameter kDistortionEdgeOption =
    Option(1, "edges: 0 colour, 1 wrap, 2 repeat, 3 mirror, 4 transparent", 0, 4, 0);
inline constexpr EffectParameter kDistortionFillColour = Colour("fill colour", 255, 255, 255);

using ScriptValues = std::initializer_list<std::pair<uint32_t, double>>;

// The runner's edge and background slots, filled from option 1 and the effect colour.
struct EdgeSlots {
  uint32_t edgeSlot;  // none when it equals backgroundSlot (the effect has no edge modes)
  uint32_t backgroundSlot;
};
inline constexpr EdgeSlots kEdgeAndBackground{7, 8};

// Runs script effect effectId with the values on the source into the destination. False (nothing
// written back) when the runner refuses.
bool RunScriptDistortion(const EffectCall& call, uint32_t effectId, ScriptValues values,
                         EdgeSlots slots, const uint8_t* source, uint8_t* destination,
                         int32_t width, int32_t height);

}  // namespace process
