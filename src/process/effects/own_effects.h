// The engine's own pixel effects. Each works on the effect context: it reads by the chain-flag
// rule and writes the destination (Mask Detail writes the mask plane instead).
#pragma once

#include "process/effects/effect_context.h"

namespace process {

void AntiAlias(EffectContext& context);
void AdaptiveBlur(EffectContext& context);
void LineArtCleaner(EffectContext& context);
void BasicThreshold(EffectContext& context);
void AdjustLab(EffectContext& context);
void DetailBlur(EffectContext& context);
void ValueBlur(EffectContext& context);
void NoiseReduction(EffectContext& context);
void NoiseReductionRGB(EffectContext& context);
void HyperContrast(EffectContext& context);
void BasRelief(EffectContext& context);
void Grayscale(EffectContext& context);
void Invert(EffectContext& context);
void Vignette(EffectContext& context);
void Channel(EffectContext& context);
void Reflection(EffectContext& context);
void Fader(EffectContext& context);
void Borderize(EffectContext& context);
void Clamp(EffectContext& context);
void MaskDetail(EffectContext& context);

// Colour white at or above the threshold luminance, black below; alpha stays (Basic Threshold
// and the first step of Line Art Cleaner).
void ThresholdPixels(const EffectContext& context, int32_t threshold);

}  // namespace process
