// Channel: isolates colour channels as coverage. Each enabled step turns the pixel into a pure
// red, green or blue whose alpha is the channel's value, so that a channel can be lifted out as
// a layer of its own.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void Channel(EffectContext& context);
inline constexpr OwnEffect kChannelOwn{"Channel", Channel};

inline constexpr EffectParameter kChannelParameters[] = {
    Flag(3, "red", 1),
    Flag(4, "green"),
    Flag(5, "blue"),
};
inline constexpr EffectDescriptor kChannelEffect =
    OwnEffectRow(kChannelOwn, kAsItIs, kChannelParameters,
                 "Lifts a colour channel out as coverage of pure red, green or blue.");

}  // namespace process
