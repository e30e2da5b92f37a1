// Borderize: frames the picture with concentric one-pixel rings, each filled with the colour of
// one pixel picked on the ring itself; slider 1 walks the pick point round the ring (top edge,
// right edge, bottom edge, left edge) and slider 2 sets how far in the frame reaches.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void Borderize(EffectContext& context);
inline constexpr OwnEffect kBorderizeOwn{"Borderize", Borderize};

inline constexpr EffectParameter kBorderizeParameters[] = {
    Slider(1, "pick point round the ring", 500),
    Slider(2, "frame width", 100),
};
inline constexpr EffectDescriptor kBorderizeEffect =
    OwnEffectRow(kBorderizeOwn, kAsItIs, kBorderizeParameters,
                 "Frames the picture with rings coloured from the picture's own edge.");

}  // namespace process
