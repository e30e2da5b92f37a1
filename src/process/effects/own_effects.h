// The engine's own pixel effects. Each works on the effect context: it reads by the chain-flag
// rule and writes the destination (Mask Detail writes the mask plane instead).
#pragma once

#include "process/effects/adaptive_blur.h"
#include "process/effects/adjust_lab.h"
#include "process/effects/anti_alias.h"
#include "process/effects/bas_relief.h"
#include "process/effects/basic_threshold.h"
#include "process/effects/borderize.h"
#include "process/effects/channel.h"
#include "process/effects/clamp.h"
#include "process/effects/detail_blur.h"
#include "process/effects/fader.h"
#include "process/effects/grayscale.h"
#include "process/effects/hyper_contrast.h"
#include "process/effects/invert.h"
#include "process/effects/line_art_cleaner.h"
#include "process/effects/mask_detail.h"
#include "process/effects/noise_reduction.h"
#include "process/effects/noise_reduction_rgb.h"
#include "process/effects/reflection.h"
#include "process/effects/value_blur.h"
#include "process/effects/vignette.h"

namespace process {

// Colour white at or above the threshold luminance, black below; alpha stays (Basic Threshold
// and the first step of Line Art Cleaner).
void ThresholdPixels(const EffectContext& context, int32_t threshold);

}  // namespace process
