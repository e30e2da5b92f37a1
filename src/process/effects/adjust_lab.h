// Adjust Lab: shifts lightness and the two colour axes in CIE L*a*b*. Each slider's middle (50 %)
// leaves its axis alone; the ends move it by 100 either way.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void AdjustLab(EffectContext& context);
inline constexpr OwnEffect kAdjustLabOwn{"Adjust Lab", AdjustLab};

inline constexpr EffectParameter kAdjustLabParameters[] = {
    Slider(1, "lightness", 500),
    Slider(2, "green to red", 500),
    Slider(3, "blue to yellow", 500),
};
inline constexpr EffectDescriptor kAdjustLabEffect =
    OwnEffectRow(kAdjustLabOwn, kAsItIs, kAdjustLabParameters,
                 "Shifts lightness and the two colour axes of L*a*b*; 50 % changes nothing.");

}  // namespace process
