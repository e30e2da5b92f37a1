// Grayscale: the three colour channels become their integer mean; alpha stays.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void Grayscale(EffectContext& context);
inline constexpr OwnEffect kGrayscaleOwn{"Grayscale", Grayscale};

}  // namespace process
