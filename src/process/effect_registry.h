// The effect catalogue as one registry: every effect's descriptor once, in the order the host's
// effect list shows them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "process/effect_descriptor.h"

namespace process {

// Every descriptor, each once, in catalogue order.
std::span<const EffectDescriptor> EffectCatalogue();
// The index-th descriptor in catalogue order, or null outside the catalogue.
const EffectDescriptor* EffectAt(int32_t index);
// The descriptor of exactly that name (case-sensitive), or null.
const EffectDescriptor* FindEffect(std::string_view name);

}  // namespace process
