// Line Art Cleaner: turns scanned line art into clean black and white. The picture is first
// thresholded; then dark pixels that are clearly darker than their 3 x 3 surroundings (isolated
// specks left by the threshold) are turned white.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void LineArtCleaner(EffectContext& context);
inline constexpr OwnEffect kLineArtCleanerOwn{"Line Art Cleaner", LineArtCleaner};

inline constexpr EffectParameter kLineArtCleanerParameters[] = {
    Slider(1, "threshold", 500),
    Slider(2, "speck tolerance", 100),
};
inline constexpr EffectDescriptor kLineArtCleanerEffect =
    OwnEffectRow(kLineArtCleanerOwn, kAsItIs, kLineArtCleanerParameters,
                 "Turns scanned line art into clean black and white without specks.");

}  // namespace process
