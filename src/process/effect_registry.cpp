#include "process/effect_registry.h"

#include <iterator>

#include "process/layer_adjusters.h"
#include "process/lua_filter_body.h"
#include "process/plugin_filters.h"

namespace process {

namespace {

constexpr EffectRoute kPre = EffectRoute::kOwnPremultiplied;
constexpr EffectRoute kOwn = EffectRoute::kOwn;

// A row that runs an own effect, by default the one of the row's own name.
constexpr EffectInfo Own(EffectRoute route, std::string_view name, uint32_t reads,
                         std::string_view ownEffect = {}) {
  return {.name = name, .route = route, .reads = reads,
          .ownEffect = ownEffect.empty() ? name : ownEffect};
}
constexpr EffectInfo OnLayerCopy(std::string_view name, uint32_t reads, LayerCopyBody body) {
  return {.name = name, .route = EffectRoute::kLayerCopy, .reads = reads, .layerCopy = body};
}
constexpr EffectInfo OnSource(std::string_view name, uint32_t reads, SourceBody body) {
  return {.name = name, .route = EffectRoute::kRefreshedSource, .reads = reads, .onSource = body};
}

constexpr uint32_t kAllSliders = kSlider1 | kSlider2 | kSlider3 | kSlider4 | kSlider5 | kSlider6;
constexpr uint32_t kAllOptions =
    kOption1 | kOption2 | kOption3 | kOption4 | kOption5 | kOption6 | kOption7 | kOption8;

constexpr EffectInfo kEffects[] = {
    // Own effects on the premultiplied source: they mix neighbouring pixels, so transparent
    // pixels must not lend them their colour.
    Own(kPre, "Anti Alias", kSlider1 | kSlider2 | kSlider3 | kSlider4),
    Own(kPre, "Adaptive Blur", kSlider1 | kSlider2 | kSlider3),
    Own(kPre, "Detail Blur", kSlider1),
    Own(kPre, "Value Blur", kSlider1 | kSlider2),
    Own(kPre, "Noise Reduction", kSlider1 | kSlider2),
    Own(kPre, "Noise Reduction RGB", kAllSliders),
    Own(kPre, "Smart Blur", kSlider1 | kSlider2, "Noise Reduction"),
    // Own effects on the source as it is.
    Own(kOwn, "Hyper Contrast", kSlider1),
    Own(kOwn, "Adjust Lab", kSlider1 | kSlider2 | kSlider3),
    Own(kOwn, "Channel", kOption3 | kOption4 | kOption5),
    Own(kOwn, "Fader",
        kSlider1 | kSlider2 | kSlider3 | kSlider4 | kOption3 | kOption4 | kOption5 | kOption6),
    Own(kOwn, "Basic Threshold", kSlider1),
    Own(kOwn, "Line Art Cleaner", kSlider1 | kSlider2),
    Own(kOwn, "Clamp",
        kSlider1 | kSlider2 | kSlider3 | kSlider4 | kOption3 | kOption4 | kOption5 | kOption6),
    Own(kOwn, "Bas Relief", kSlider1 | kOption1),
    Own(kOwn, "Vignette",
        kSlider1 | kSlider2 | kSlider3 | kSlider4 | kOption3 | kOption4 | kOption5 | kOption6 |
            kOption7 | kOption8),
    Own(kOwn, "Borderize", kSlider1 | kSlider2),
    Own(kOwn, "Reflection", kSlider1 | kSlider2 | kSlider3 | kSlider4 | kOption3 | kOption4),
    Own(EffectRoute::kOwnIntoMask, "Mask Detail", kSlider1 | kSlider2),
    // The engine's adjusters on a copy of the layer.
    OnLayerCopy("Adjust HSL", kSlider1 | kSlider2 | kSlider3, AdjustHSLBody),
    OnLayerCopy("Adjust HSV", kSlider1 | kSlider2 | kSlider3, AdjustHSVBody),
    // A user's filter script (the text argument) with the dialog's six sliders, its two style
    // choices (options 1 and 2) and its six check boxes (options 3 to 8).
    OnSource("Lua Filter", kAllSliders | kAllOptions | kText, LuaFilterBody),
    // A filter plug-in (the text argument, as the plug-in list gives it); option 3 keeps alpha.
    OnSource("Adobe Compatible Plug-ins", kOption3 | kText, PluginEffectBody),
};

constexpr bool NamesAreUnique() {
  for (std::size_t i = 0; i < std::size(kEffects); ++i)
    for (std::size_t j = i + 1; j < std::size(kEffects); ++j)
      if (kEffects[i].name == kEffects[j].name) return false;
  return true;
}
static_assert(NamesAreUnique(), "every effect name appears once");

constexpr bool RoutesHaveBodies() {
  for (const EffectInfo& e : kEffects) {
    const bool layerCopy = e.route == EffectRoute::kLayerCopy;
    const bool onSource = e.route == EffectRoute::kRefreshedSource;
    if (e.ownEffect.empty() != (layerCopy || onSource)) return false;
  }
  return true;
}
// Function addresses are not constants under every build (sanitizers), so the bodies themselves
// are checked where the dispatcher calls them.
static_assert(RoutesHaveBodies(), "own-effect routes name their effect, body routes none");

}  // namespace

std::span<const EffectInfo> EffectCatalogue() { return kEffects; }

const EffectInfo* FindEffect(std::string_view name) {
  for (const EffectInfo& effect : kEffects)
    if (effect.name == name) return &effect;
  return nullptr;
}

}  // namespace process
