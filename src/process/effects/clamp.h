// Clamp: per channel, values below the low threshold are replaced by one value and values above
// the high threshold by another.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void Clamp(EffectContext& context);
inline constexpr OwnEffect kClampOwn{"Clamp", Clamp};

inline constexpr EffectParameter kClampParameters[] = {
    Slider(1, "low threshold", 200),
    Slider(2, "value below it", 0),
    Slider(3, "high threshold", 800),
    Slider(4, "value above it", 1000),
    Flag(3, "red", 1),
    Flag(4, "green", 1),
    Flag(5, "blue", 1),
    Flag(6, "alpha"),
};
inline constexpr EffectDescriptor kClampEffect =
    OwnEffectRow(kClampOwn, kAsItIs, kClampParameters,
                 "Replaces channel values below and above two thresholds.");

}  // namespace process
