// Invert: each colour channel x becomes 255 - x; alpha stays.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void Invert(EffectContext& context);
inline constexpr OwnEffect kInvertOwn{"Invert", Invert};

}  // namespace process
