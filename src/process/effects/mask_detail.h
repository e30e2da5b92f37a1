// Mask Detail: marks detail in the mask plane. A pixel is detail when one of its colour channels
// differs by more than the threshold from both horizontal neighbours or from both vertical ones
// (a thin line or a speck); its mask sample is set to the protection of slider 2.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void MaskDetail(EffectContext& context);
inline constexpr OwnEffect kMaskDetailOwn{"Mask Detail", MaskDetail};

inline constexpr EffectParameter kMaskDetailParameters[] = {
    Slider(1, "threshold", 100),
    Slider(2, "protection", 500),
};
inline constexpr EffectDescriptor kMaskDetailEffect{
    .name = kMaskDetailOwn.name,
    .route = EffectRoute::kOwnIntoMask,
    .summary = "Marks thin lines and specks in the mask so that later effects spare them.",
    .parameters = kMaskDetailParameters,
    .own = &kMaskDetailOwn};

}  // namespace process
