// Running an effect of the catalogue by name on the current layer.
#pragma once

#include "process/effect_call.h"
#include "process/effect_descriptor.h"

namespace process {

// Runs the effect named call.name (exact, case-sensitive) through its route. Returns at once,
// changing nothing, unless both processing buffers 32 exist for the present canvas; a name the
// catalogue does not hold does nothing. Whatever way it leaves, the temporary blocks and the
// 24-bit processing buffers are freed. Failures (out of memory) propagate to the caller after
// that clean-up.
void ImageProcess(const EffectCall& call);

// The same for a descriptor in hand (the name in the call is not read).
void RunEffect(const EffectDescriptor& effect, const EffectCall& call);

}  // namespace process
