#include "palmora/effect_catalogue.h"

#include "api/guard.h"
#include "process/effect_registry.h"

// The published bits are the registry's own.
static_assert(PMR_EFFECT_READS_SLIDER(1) == process::kSlider1 &&
              PMR_EFFECT_READS_SLIDER(6) == process::kSlider6 &&
              PMR_EFFECT_READS_OPTION(1) == process::kOption1 &&
              PMR_EFFECT_READS_OPTION(8) == process::kOption8 &&
              PMR_EFFECT_READS_COLOUR == process::kColour &&
              PMR_EFFECT_READS_SCRIPT_VALUE == process::kScriptValue &&
              PMR_EFFECT_READS_TEXT == process::kText);

PMR_API uint32_t PMR_IPLGetEffectReads(int32_t index) {
  return api::guard<uint32_t>(0u, "IPLGetEffectReads Excpt", [&]() -> uint32_t {
    const auto catalogue = process::EffectCatalogue();
    if (index < 0 || std::size_t(index) >= catalogue.size()) return 0;
    return catalogue[std::size_t(index)].reads;
  });
}
