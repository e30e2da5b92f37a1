// Vignette: an ellipse (or a rectangle) centred on the picture, softened by a blur, decides how
// much of each pixel stays; the rest moves towards the vignette colour and, for the alpha, towards
// opaque or clear.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void Vignette(EffectContext& context);
inline constexpr OwnEffect kVignetteOwn{"Vignette", Vignette};

inline constexpr EffectParameter kVignetteParameters[] = {
    Slider(1, "red of the colour", 0),
    Slider(2, "green of the colour", 0),
    Slider(3, "blue of the colour", 0),
    Slider(4, "softness", 500),
    Flag(3, "tint with the colour", 1),
    Flag(4, "fade alpha to clear"),
    Flag(5, "invert"),
    Flag(6, "rectangle"),
    Flag(7, "circle"),
    Flag(8, "use the paint colour"),
};
inline constexpr EffectDescriptor kVignetteEffect =
    OwnEffectRow(kVignetteOwn, kAsItIs, kVignetteParameters,
                 "Darkens or tints the picture towards its edges around a soft ellipse.");

}  // namespace process
