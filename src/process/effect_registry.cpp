#include "process/effect_registry.h"

#include <iterator>

#include "process/layer_adjusters.h"
#include "process/library/library_bodies.h"
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

constexpr EffectInfo Library(EffectRoute route, std::string_view name, uint32_t reads,
                             LibraryBody body) {
  return {.name = name, .route = route, .reads = reads, .library = body};
}
constexpr EffectRoute kLib32 = EffectRoute::kLibraryPremultiplied;
constexpr EffectRoute kLib24 = EffectRoute::kLibrary24;
constexpr EffectRoute kLibOld = EffectRoute::kLibraryUnrefreshed;

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
    // The library's blurs on the premultiplied source.
    Library(kLib32, "Blur", kSlider1, BlurBody),
    Library(kLib32, "Blur More", kSlider1, BlurMoreBody),
    Library(kLib32, "Gaussian Blur", kSlider1 | kOption3, GaussianBlurBody),
    Library(kLib32, "Motion Blur", kSlider1 | kSlider2, MotionBlurBody),
    Library(kLib32, "Motion Blur 2", kSlider1 | kSlider2, MotionBlur2Body),
    Library(kLib32, "Radial Blur", kSlider1 | kSlider2 | kSlider3, RadialBlurBody),
    Library(kLib32, "Radial Blur 2", kSlider1 | kSlider2 | kSlider3, RadialBlur2Body),
    Library(kLib32, "Zoom Blur", kSlider1 | kSlider2 | kSlider3, ZoomBlurBody),
    Library(kLib32, "Zoom Blur 2", kSlider1 | kSlider2 | kSlider3, ZoomBlur2Body),
    Library(kLib32, "Arithmetic Mean", kSlider1, ArithmeticMeanBody),
    Library(kLib32, "Midpoint", kSlider1, MidpointBody),
    Library(kLib32, "Mosaic", kSlider1, MosaicBody),
    // The library's filters on the 24-bit buffers: the layer's alpha is left as it is.
    Library(kLib24, "Oil Paint", kSlider1 | kSlider2 | kOption3 | kOption4, OilPaintBody),
    Library(kLib24, "Stipple", kSlider1 | kOption1 | kOption2, StippleBody),
    Library(kLib24, "Surface Blur", kSlider1 | kSlider2, SurfaceBlurBody),
    Library(kLib24, "Noise Reduction 2", kSlider1, NoiseReduction2Body),
    Library(kLib24, "Grayscale", 0, GrayscaleBody),
    Library(kLib24, "Negative", 0, NegativeBody),
    Library(kLib24, "Posterize", kSlider1, PosterizeBody),
    Library(kLib24, "Solarize", kSlider1, SolarizeBody),
    Library(kLib24, "Watercolor Tint", kSlider1, WatercolorTintBody),
    Library(kLib24, "Dust and Scratches", kSlider1 | kSlider2, DustAndScratchesBody),
    Library(kLib24, "Halftone", kSlider1 | kSlider2 | kOption1, HalftoneBody),
    Library(kLib24, "Color Noise", kSlider1 | kScriptValue, ColorNoiseBody),
    Library(kLib24, "Hugo Noise", kSlider1 | kSlider2 | kScriptValue, HugoNoiseBody),
    Library(kLib24, "Perlin Noise", kSlider1 | kSlider2 | kSlider3 | kScriptValue, PerlinNoiseBody),
    Library(kLib24, "Sharpen", kSlider1, SharpenBody),
    Library(kLib24, "Sharpen More", kSlider1, SharpenMoreBody),
    Library(kLib24, "Unsharp Mask", kSlider1 | kSlider2 | kSlider3, UnsharpMaskBody),
    Library(kLib24, "Bevel", kSlider1 | kSlider2, BevelBody),
    Library(kLib24, "Crackle", kSlider1 | kSlider2 | kSlider3, CrackleBody),
    Library(kLib24, "Emboss", kSlider1 | kSlider2, EmbossBody),
    Library(kLib24, "Fingerprint", kSlider1 | kSlider2, FingerprintBody),
    Library(kLib24, "Gausy", kSlider1 | kSlider2, GausyBody),
    Library(kLib24, "Edge2", kSlider1 | kSlider2 | kSlider3, Edge2Body),
    // The library's filters on the source as the host last filled it.
    Library(kLibOld, "Geometric Mean", kSlider1, GeometricMeanBody),
    Library(kLibOld, "Harmonic Mean", kSlider1, HarmonicMeanBody),
    Library(kLibOld, "Maximum2", kSlider1, Maximum2Body),
    Library(kLibOld, "Minimum2", kSlider1, Minimum2Body),
    Library(kLibOld, "Median", kSlider1, MedianBody),
    Library(kLibOld, "HDRI", kSlider1 | kSlider2 | kSlider3, HDRIBody),
    Library(kLibOld, "Reduce", kSlider1, ReduceBody),
    Library(kLibOld, "Frosted Glass", kSlider1 | kScriptValue | kColour, FrostedGlassBody),
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
    const bool library = e.route == EffectRoute::kLibraryPremultiplied ||
                         e.route == EffectRoute::kLibrary24 ||
                         e.route == EffectRoute::kLibraryUnrefreshed;
    if (e.ownEffect.empty() != (layerCopy || onSource || library)) return false;
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
