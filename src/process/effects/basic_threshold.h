// Basic Threshold: pixels at or above the threshold luminance turn white, the others black;
// alpha stays.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void BasicThreshold(EffectContext& context);
inline constexpr OwnEffect kBasicThresholdOwn{"Basic Threshold", BasicThreshold};

inline constexpr EffectParameter kBasicThresholdParameters[] = {
    Slider(1, "threshold", 500),
};
inline constexpr EffectDescriptor kBasicThresholdEffect =
    OwnEffectRow(kBasicThresholdOwn, kAsItIs, kBasicThresholdParameters,
                 "Black below the threshold brightness, white at or above it.");

}  // namespace process
