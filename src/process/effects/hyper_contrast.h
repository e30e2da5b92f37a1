// Hyper Contrast: an S-curve per channel, blended by the pixel's lightness. Dark pixels follow
// x^2 / a (pushed darker), light ones 255 - (255 - x)^2 / a (pushed lighter); a small a is a
// strong curve.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void HyperContrast(EffectContext& context);
inline constexpr OwnEffect kHyperContrastOwn{"Hyper Contrast", HyperContrast};

inline constexpr EffectParameter kHyperContrastParameters[] = {
    Slider(1, "strength", 200),
};
inline constexpr EffectDescriptor kHyperContrastEffect =
    OwnEffectRow(kHyperContrastOwn, kAsItIs, kHyperContrastParameters,
                 "A strong S-curve that darkens the darks and lightens the lights.");

}  // namespace process
