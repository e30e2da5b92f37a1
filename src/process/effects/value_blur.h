// Value Blur: a smear directed by luminance. Along each scan, a pixel is pulled towards its
// predecessor by one weight when the predecessor is brighter and by another when it is darker.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void ValueBlur(EffectContext& context);
inline constexpr OwnEffect kValueBlurOwn{"Value Blur", ValueBlur};

inline constexpr EffectParameter kValueBlurParameters[] = {
    Slider(1, "pull towards brighter", 500),
    Slider(2, "pull towards darker", 500),
};
inline constexpr EffectDescriptor kValueBlurEffect =
    OwnEffectRow(kValueBlurOwn, kPremultiplied, kValueBlurParameters,
                 "Smears along the rows, steered by brightness.");

}  // namespace process
