// Exports: the effect dispatcher, photo pop and displacement bump.
#include "api/guard.h"
#include "palmora/effects.h"
#include "process/displacement_bump.h"
#include "process/effect_dispatcher.h"
#include "process/effect_registry.h"
#include "process/photo_pop.h"

PMR_API void PMR_IPLImageProcess(int32_t, const char* effectName, int32_t scriptValue,
                                 int32_t slider1, int32_t slider2, int32_t slider3, int32_t slider4,
                                 int32_t slider5, int32_t slider6, int32_t option1, int32_t option2,
                                 int32_t option3, int32_t option4, int32_t option5, int32_t option6,
                                 int32_t option7, int32_t option8, int32_t red, int32_t green,
                                 int32_t blue, const char* text) {
  api::guard("IPLImageProc Excpt", [&] {
    process::ImageProcess({effectName,
                           scriptValue,
                           {slider1, slider2, slider3, slider4, slider5, slider6},
                           {option1, option2, option3, option4, option5, option6, option7, option8},
                           red,
                           green,
                           blue,
                           text});
  });
}

PMR_API const char* PMR_IPLGetEffectName(int32_t index) {
  return api::guard<const char*>(nullptr, "IPLGetEffectName Excpt", [&]() -> const char* {
    const process::EffectDescriptor* e = process::EffectAt(index);
    return e ? e->name.data() : nullptr;  // every name is a NUL-terminated literal
  });
}

PMR_API const char* PMR_IPLGetEffectSummary(int32_t index) {
  return api::guard<const char*>(nullptr, "IPLGetEffectSummary Excpt", [&]() -> const char* {
    const process::EffectDescriptor* e = process::EffectAt(index);
    return e ? e->summary.data() : nullptr;  // summaries are NUL-terminated literals
  });
}

PMR_API int32_t PMR_IPLGetEffectParameter(int32_t index, int32_t k, int32_t* kind, int32_t* number,
                                          int32_t* low, int32_t* high, int32_t* standard,
                                          const char** label, const char** defaultText) {
  return api::guard(0, "IPLGetEffectParameter Excpt", [&]() -> int32_t {
    const process::EffectDescriptor* e = process::EffectAt(index);
    if (!e || k < 0 || std::size_t(k) >= e->parameters.size()) return 0;
    const process::EffectParameter& p = e->parameters[std::size_t(k)];
    if (kind) *kind = int32_t(p.kind);
    if (number) *number = p.number;
    if (low) *low = p.low;
    if (high) *high = p.high;
    if (standard) *standard = p.standard;
    if (label) *label = p.label.data();  // labels and default files are literals
    if (defaultText) *defaultText = p.defaultText.empty() ? "" : p.defaultText.data();
    return 1;
  });
}

PMR_API void PMR_IPLPhotoPop(int32_t contrastAmount, double saturation, int32_t extraPass) {
  api::guard("IPLPhotoPop Excpt",
             [&] { process::PhotoPop(contrastAmount, saturation, extraPass); });
}

PMR_API void PMR_IPLDisplacementBummp(const char* scriptPath, double amount, int32_t fillColour) {
  api::guard("IPLDisplacementBump Excpt", [&] {
    process::DisplacementBump(scriptPath, amount, static_cast<uint32_t>(fillColour));
  });
}
