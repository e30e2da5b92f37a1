#include "process/effect_registry.h"

#include <iterator>

#include "process/layer_adjusters.h"

namespace process {

namespace {

constexpr EffectRoute kPre = EffectRoute::kOwnPremultiplied;
constexpr EffectRoute kOwn = EffectRoute::kOwn;

constexpr EffectInfo kEffects[] = {
    // Own effects on the premultiplied source: they mix neighbouring pixels, so transparent
    // pixels must not lend them their colour.
    {"Anti Alias", kPre, kSlider1 | kSlider2 | kSlider3 | kSlider4, "Anti Alias", nullptr},
    {"Adaptive Blur", kPre, kSlider1 | kSlider2 | kSlider3, "Adaptive Blur", nullptr},
    {"Detail Blur", kPre, kSlider1, "Detail Blur", nullptr},
    {"Value Blur", kPre, kSlider1 | kSlider2, "Value Blur", nullptr},
    {"Noise Reduction", kPre, kSlider1 | kSlider2, "Noise Reduction", nullptr},
    {"Noise Reduction RGB", kPre, kSlider1 | kSlider2 | kSlider3 | kSlider4 | kSlider5 | kSlider6,
     "Noise Reduction RGB", nullptr},
    {"Smart Blur", kPre, kSlider1 | kSlider2, "Noise Reduction", nullptr},
    // Own effects on the source as it is.
    {"Hyper Contrast", kOwn, kSlider1, "Hyper Contrast", nullptr},
    {"Adjust Lab", kOwn, kSlider1 | kSlider2 | kSlider3, "Adjust Lab", nullptr},
    {"Channel", kOwn, kOption3 | kOption4 | kOption5, "Channel", nullptr},
    {"Fader", kOwn,
     kSlider1 | kSlider2 | kSlider3 | kSlider4 | kOption3 | kOption4 | kOption5 | kOption6,
     "Fader", nullptr},
    {"Basic Threshold", kOwn, kSlider1, "Basic Threshold", nullptr},
    {"Line Art Cleaner", kOwn, kSlider1 | kSlider2, "Line Art Cleaner", nullptr},
    {"Clamp", kOwn,
     kSlider1 | kSlider2 | kSlider3 | kSlider4 | kOption3 | kOption4 | kOption5 | kOption6,
     "Clamp", nullptr},
    {"Bas Relief", kOwn, kSlider1 | kOption1, "Bas Relief", nullptr},
    {"Vignette", kOwn,
     kSlider1 | kSlider2 | kSlider3 | kSlider4 | kOption3 | kOption4 | kOption5 | kOption6 |
         kOption7 | kOption8,
     "Vignette", nullptr},
    {"Borderize", kOwn, kSlider1 | kSlider2, "Borderize", nullptr},
    {"Reflection", kOwn, kSlider1 | kSlider2 | kSlider3 | kSlider4 | kOption3 | kOption4,
     "Reflection", nullptr},
    {"Mask Detail", EffectRoute::kOwnIntoMask, kSlider1 | kSlider2, "Mask Detail", nullptr},
    // The engine's adjusters on a copy of the layer.
    {"Adjust HSL", EffectRoute::kLayerCopy, kSlider1 | kSlider2 | kSlider3, {}, AdjustHSLBody},
    {"Adjust HSV", EffectRoute::kLayerCopy, kSlider1 | kSlider2 | kSlider3, {}, AdjustHSVBody},
};

constexpr bool NamesAreUnique() {
  for (std::size_t i = 0; i < std::size(kEffects); ++i)
    for (std::size_t j = i + 1; j < std::size(kEffects); ++j)
      if (kEffects[i].name == kEffects[j].name) return false;
  return true;
}
static_assert(NamesAreUnique(), "every effect name appears once");

constexpr bool RoutesHaveBodies() {
  for (const EffectInfo& e : kEffects)
    if ((e.route == EffectRoute::kLayerCopy) != e.ownEffect.empty()) return false;
  return true;
}
static_assert(RoutesHaveBodies(), "own-effect routes name their effect, layer-copy routes none");

}  // namespace

std::span<const EffectInfo> EffectCatalogue() { return kEffects; }

const EffectInfo* FindEffect(std::string_view name) {
  for (const EffectInfo& effect : kEffects)
    if (effect.name == name) return &effect;
  return nullptr;
}

}  // namespace process
