// Bas Relief: each pixel's lightness and saturation are pushed away from those of one neighbour
// (left, upper or upper-left), so that edges facing the light rise and the others sink.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void BasRelief(EffectContext& context);
inline constexpr OwnEffect kBasReliefOwn{"Bas Relief", BasRelief};

inline constexpr EffectParameter kBasReliefParameters[] = {
    Slider(1, "depth", 300),
    Option(1, "light from (0 left, 1 above, 2 upper left)", 0, 2, 2),
};
inline constexpr EffectDescriptor kBasReliefEffect =
    OwnEffectRow(kBasReliefOwn, kAsItIs, kBasReliefParameters,
                 "Raises edges that face the light and sinks the others.");

}  // namespace process
