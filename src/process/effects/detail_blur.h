// Detail Blur: a 3 x 3 box mean applied only where a pixel stands out from its neighbourhood by
// more than the threshold, so that fine speckle is smoothed and flat areas are left alone.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void DetailBlur(EffectContext& context);
inline constexpr OwnEffect kDetailBlurOwn{"Detail Blur", DetailBlur};

inline constexpr EffectParameter kDetailBlurParameters[] = {
    Slider(1, "threshold", 50),
};
inline constexpr EffectDescriptor kDetailBlurEffect =
    OwnEffectRow(kDetailBlurOwn, kPremultiplied, kDetailBlurParameters,
                 "Smooths fine speckle and leaves flat areas alone.");

}  // namespace process
