// Reflection: below a mirror row, each column shows the pixels above that row in reverse order,
// fading out as it goes down. The mirror row is the lowest opaque row of the picture, or found
// column by column, or set by slider 1.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void Reflection(EffectContext& context);
inline constexpr OwnEffect kReflectionOwn{"Reflection", Reflection};

inline constexpr EffectParameter kReflectionParameters[] = {
    Slider(1, "mirror height", 500),
    Slider(2, "opacity", 800),
    Slider(3, "fade speed", 300),
    Slider(4, "squash", 250),
    Flag(3, "one mirror row for all columns"),
    Flag(4, "mirror at the height slider", 1),
};
inline constexpr EffectDescriptor kReflectionEffect =
    OwnEffectRow(kReflectionOwn, kAsItIs, kReflectionParameters,
                 "Mirrors the picture below a row, fading as it goes down.");

}  // namespace process
