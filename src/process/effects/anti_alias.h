// Anti Alias: softens stair-stepped edges. Along each scan, where the luminance drops (or rises)
// sharply from one pixel to the next and the pixel one line further on shows the edge running on
// diagonally, the next pixel is mixed with the current one.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void AntiAlias(EffectContext& context);
inline constexpr OwnEffect kAntiAliasOwn{"Anti Alias", AntiAlias};

inline constexpr EffectParameter kAntiAliasParameters[] = {
    Slider(1, "keep at falling edges", 500),
    Slider(2, "keep at rising edges", 500),
    Slider(3, "falling-edge sensitivity", 800),
    Slider(4, "rising-edge sensitivity", 800),
};
inline constexpr EffectDescriptor kAntiAliasEffect = OwnEffectRow(
    kAntiAliasOwn, kPremultiplied, kAntiAliasParameters, "Softens stair-stepped diagonal edges.");

}  // namespace process
