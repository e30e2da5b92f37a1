// Noise Reduction RGB: Noise Reduction channel by channel, each colour channel with its own
// threshold and strength; alpha is left as it is.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void NoiseReductionRGB(EffectContext& context);
inline constexpr OwnEffect kNoiseReductionRGBOwn{"Noise Reduction RGB", NoiseReductionRGB};

inline constexpr EffectParameter kNoiseReductionRGBParameters[] = {
    Slider(1, "red strength", 500),   Slider(2, "red threshold", 100),
    Slider(3, "green strength", 500), Slider(4, "green threshold", 100),
    Slider(5, "blue strength", 500),  Slider(6, "blue threshold", 100),
};
inline constexpr EffectDescriptor kNoiseReductionRGBEffect =
    OwnEffectRow(kNoiseReductionRGBOwn, kPremultiplied, kNoiseReductionRGBParameters,
                 "Noise Reduction with its own strength and threshold per colour channel.");

}  // namespace process
