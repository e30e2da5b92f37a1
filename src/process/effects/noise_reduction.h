// Noise Reduction: an edge-preserving smear. Along each scan, a pixel is mixed with its
// predecessor only where their luminances differ by less than the threshold, so that small
// variations are flattened and real edges stay.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void NoiseReduction(EffectContext& context);
inline constexpr OwnEffect kNoiseReductionOwn{"Noise Reduction", NoiseReduction};

inline constexpr EffectParameter kNoiseReductionParameters[] = {
    Slider(1, "strength", 500),
    Slider(2, "threshold", 100),
};
inline constexpr EffectDescriptor kNoiseReductionEffect =
    OwnEffectRow(kNoiseReductionOwn, kPremultiplied, kNoiseReductionParameters,
                 "Flattens small variations and keeps real edges.");

// Smart Blur is Noise Reduction under another name.
inline constexpr EffectDescriptor kSmartBlurEffect{
    .name = "Smart Blur",
    .route = EffectRoute::kOwn,
    .premultiplied = kPremultiplied,
    .summary = "Noise Reduction: flattens small variations and keeps real edges.",
    .parameters = kNoiseReductionParameters,
    .own = &kNoiseReductionOwn};

}  // namespace process
