// The own effects by name.
#pragma once

#include <string_view>

#include "process/effects/effect_context.h"

namespace process {

using OwnEffectFn = void (*)(EffectContext&);

struct OwnEffect {
  std::string_view name;
  OwnEffectFn run;
};

// The effect of exactly that name (case-sensitive), or null.
const OwnEffect* FindOwnEffect(std::string_view name);

}  // namespace process
