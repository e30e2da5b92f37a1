// Adaptive Blur: a pixel that stands out from one of its four neighbours by more than the
// threshold is pulled towards the mean of the four, with one weight when it is the brighter and
// another when it is the darker; the rest is left alone.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void AdaptiveBlur(EffectContext& context);
inline constexpr OwnEffect kAdaptiveBlurOwn{"Adaptive Blur", AdaptiveBlur};

inline constexpr EffectParameter kAdaptiveBlurParameters[] = {
    Slider(1, "sensitivity", 900),
    Slider(2, "pull on bright pixels", 500),
    Slider(3, "pull on dark pixels", 500),
};
inline constexpr EffectDescriptor kAdaptiveBlurEffect =
    OwnEffectRow(kAdaptiveBlurOwn, kPremultiplied, kAdaptiveBlurParameters,
                 "Pulls pixels that stand out from a neighbour towards their surroundings.");

}  // namespace process
