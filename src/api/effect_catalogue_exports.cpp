#include "palmora/effect_catalogue.h"

#include "api/guard.h"
#include "process/effect_registry.h"

// The published bits are the registry's own.
static_assert(PMR_EFFECT_READS_SLIDER(1) == process::kReadsSlider1 &&
              PMR_EFFECT_READS_OPTION(1) == process::kReadsOption1 &&
              PMR_EFFECT_READS_COLOUR == process::kReadsColour &&
              PMR_EFFECT_READS_SCRIPT_VALUE == process::kReadsScriptValue &&
              PMR_EFFECT_READS_TEXT == process::kReadsText);

PMR_API uint32_t PMR_IPLGetEffectReads(int32_t index) {
  return api::guard<uint32_t>(0u, "IPLGetEffectReads Excpt", [&]() -> uint32_t {
    const auto catalogue = process::EffectCatalogue();
    if (index < 0 || std::size_t(index) >= catalogue.size()) return 0;
    return catalogue[std::size_t(index)].Reads();
  });
}
