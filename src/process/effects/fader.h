// Fader: a factor that runs linearly across the region (from slider 3 to slider 4, doubled, left
// to right) times one that runs down it (slider 1 to slider 2, doubled, top to bottom) scales the
// saturation, the lightness and the alpha of each pixel, as the options choose.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void Fader(EffectContext& context);
inline constexpr OwnEffect kFaderOwn{"Fader", Fader};

inline constexpr EffectParameter kFaderParameters[] = {
    Slider(1, "top factor", 500), Slider(2, "bottom factor", 500),  Slider(3, "left factor", 500),
    Slider(4, "right factor", 0), Flag(3, "over the content only"), Flag(4, "fade saturation"),
    Flag(5, "fade lightness"),    Flag(6, "fade alpha", 1),
};
inline constexpr EffectDescriptor kFaderEffect =
    OwnEffectRow(kFaderOwn, kAsItIs, kFaderParameters,
                 "Fades saturation, lightness or alpha across and down the picture.");

}  // namespace process
