#include "process/effect_registry.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "process/effects/own_effects.h"
#include "process/glows_and_mask_hsl.h"
#include "process/layer_adjusters.h"
#include "process/library_layer_copy.h"
#include "process/lua_filter_body.h"
#include "process/library/library_blurs.h"
#include "process/library/library_rgb24.h"
#include "process/library/library_rgb24_art.h"
#include "process/library/library_unrefreshed.h"
#include "process/plugin_filters.h"
#include "process/polygon_warps/polygon_warp_effects.h"
#include "process/recipes/crayon_recipes.h"
#include "process/recipes/light_recipes.h"
#include "process/recipes/sketch_recipes.h"
#include "process/relief_script.h"
#include "process/script/script_file_effects.h"
#include "process/script/script_generators.h"
#include "process/script/script_layer_effects.h"
#include "process/script_distortions/script_distortion_effects.h"
#include "process/transforms/transform_effects.h"

namespace process {

namespace {

// In the order of the host's effect list; a new effect takes its place in that order.
constexpr EffectDescriptor kEffects[] = {
    kCharcoalEffect,
    kColorPencilEffect,
    kColorPencil2Effect,
    kCrayonEffect,
    kPointillismEffect,
    kOilPaintEffect,
    kStippleEffect,
    kWatercolorAndInkEffect,
    kBlurEffect,
    kBlurMoreEffect,
    kGaussianBlurEffect,
    kMotionBlurEffect,
    kMotionBlur2Effect,
    kRadialBlurEffect,
    kRadialBlur2Effect,
    kZoomBlurEffect,
    kZoomBlur2Effect,
    kAntiAliasEffect,
    kSmartBlurEffect,
    kSurfaceBlurEffect,
    kNoiseReduction2Effect,
    kAdaptiveBlurEffect,
    kDetailBlurEffect,
    kValueBlurEffect,
    kBrightnessContrastEffect,
    kLevelsEffect,
    kContrastMaskEffect,
    kHyperContrastEffect,
    kPhotoPopEffect,
    kPhotoDetailerEffect,
    kGammaEffect,
    kHistogramEqualizeEffect,
    kHistogramStretchEffect,
    kChannelHistogramEqualizeEffect,
    kChannelHistogramStretchEffect,
    kLightnessStretchEffect,
    kColorizeEffect,
    kColourBalanceEffect,
    kAdjustHSLEffect,
    kAdjustHSVEffect,
    kAdjustLabEffect,
    kChannelEffect,
    kFaderEffect,
    kDuotoneEffect,
    kGrayscaleEffect,
    kHyperSaturationEffect,
    kNegativeEffect,
    kPosterizeEffect,
    kSolarizeEffect,
    kBasicThresholdEffect,
    kThresholdEffect,
    kLineArtCleanerEffect,
    kClampEffect,
    kTintEffect,
    kWatercolorTintEffect,
    kEllipticalEffect,
    kLensEffect,
    kMarbleEffect,
    kOffsetEffect,
    kPerspectiveEffect,
    kWarpEffect,
    kWarpEdgeEffect,
    kWarp3PointEffect,
    kStretchEffect,
    kStretchEdgeEffect,
    kVerticalPivotEffect,
    kHorizontalPivotEffect,
    kSkewEffect,
    kPinchEffect,
    kRippleEffect,
    kSpinEffect,
    kSpinWaveEffect,
    kWaveEffect,
    kWowEffect,
    kZigZagEffect,
    kTwirlEffect,
    kSineDistortionEffect,
    kKaleidoscopeEffect,
    kMaskGenerateHSLEffect,
    kMaskDetailEffect,
    kPatternizerEffect,
    kScratchEffect,
    kWavesEffect,
    kDividerEffect,
    kCarpetEffect,
    kGlassEffect,
    kVoxelEffect,
    kZoomEffect,
    kReduceEffect,
    kRotateEffect,
    kHorizontalFlipEffect,
    kVerticalFlipEffect,
    kTiltEffect,
    kSeamlessEffect,
    kNoiseReductionEffect,
    kNoiseReductionRGBEffect,
    kDespeckleEffect,
    kDustAndScratchesEffect,
    kGaussianNoiseEffect,
    kNegativeExpNoiseEffect,
    kRayleighNoiseEffect,
    kUniformNoiseEffect,
    kRadiantEffect,
    kRadiant2Effect,
    kHalftoneEffect,
    kMosaicEffect,
    kColorNoiseEffect,
    kHugoNoiseEffect,
    kPerlinNoiseEffect,
    kSharpenEffect,
    kSharpenMoreEffect,
    kUnsharpMaskEffect,
    kBevelEffect,
    kBasReliefEffect,
    kCrackleEffect,
    kDropShadowEffect,
    kEmbossEffect,
    kFingerprintEffect,
    kFrostedGlassEffect,
    kGausyEffect,
    kGlowEffect,
    kGlowInnerEffect,
    kGlowOuterEffect,
    kHDRIEffect,
    kScribbleEffect,
    kVignetteEffect,
    kBorderizeEffect,
    kReflectionEffect,
    kEdge2Effect,
    kEdge3Effect,
    kArithmeticMeanEffect,
    kGeometricMeanEffect,
    kHarmonicMeanEffect,
    kMaximum2Effect,
    kMinimum2Effect,
    kMidpointEffect,
    kMedianEffect,
    kDeinterlaceEffect,
    kEdgeEffect,
    kBumpEffect,
    kEmboss2Effect,
    kEmboss3Effect,
    kOutliner1Effect,
    kOutliner2Effect,
    kMaximumEffect,
    kMinimumEffect,
    kLinesEffect,
    kPointsEffect,
    kCirclesEffect,
    kRectanglesEffect,
    kSplinesEffect,
    kWormsEffect,
    kFibersEffect,
    kTreesEffect,
    kGenerateNoiseEffect,
    kBlobsEffect,
    kPlasmaEffect,
    kSinePlasmaEffect,
    kFractalPlasmaEffect,
    kGeneratePerlinNoiseEffect,
    kPatternEffect,
    kPatternExplorerEffect,
    kBackgroundsMaterialEffect,
    kBackgroundsNatureEffect,
    kBackgroundsSurfaceEffect,
    kBackgroundsOtherEffect,
    kBackgroundsUtilityEffect,
    kTexturizeEmbossMaterialEffect,
    kTexturizeEmbossNatureEffect,
    kTexturizeEmbossSurfaceEffect,
    kTexturizeEmbossOtherEffect,
    kTexturizeEmbossUtilityEffect,
    kTexturizeBumpMaterialEffect,
    kTexturizeBumpNatureEffect,
    kTexturizeBumpSurfaceEffect,
    kTexturizeBumpOtherEffect,
    kTexturizeBumpUtilityEffect,
    kDisplacementBumpMaterialEffect,
    kDisplacementBumpNatureEffect,
    kDisplacementBumpSurfaceEffect,
    kDisplacementBumpOtherEffect,
    kDisplacementBumpUtilityEffect,
    kLuaFilterEffect,
    kPluginEffect,
};
constexpr std::size_t kCount = std::size(kEffects);
using Index = std::array<uint16_t, kCount>;

// Positions in kEffects ordered by name, for a binary search.
constexpr Index SortedByName() {
  Index order{};
  for (std::size_t i = 0; i < kCount; ++i) order[i] = uint16_t(i);
  std::sort(order.begin(), order.end(),
            [](uint16_t a, uint16_t b) { return kEffects[a].name < kEffects[b].name; });
  return order;
}
constexpr Index kByName = SortedByName();

constexpr bool NamesAreUnique() {
  for (std::size_t i = 1; i < kCount; ++i)
    if (kEffects[kByName[i - 1]].name == kEffects[kByName[i]].name) return false;
  return true;
}
static_assert(NamesAreUnique(), "every effect name appears once");

// Own-effect routes name their effect; the bodies' function addresses are not constants under
// every build (sanitizers), so the dispatcher checks those where it calls them.
constexpr bool OwnRoutesNameTheirEffect() {
  for (const EffectDescriptor& e : kEffects) {
    const bool own = e.route == EffectRoute::kOwn || e.route == EffectRoute::kOwnIntoMask;
    if (own != (e.own != nullptr)) return false;
  }
  return true;
}
// Under the sanitizers GCC will not compare even an object's address with null at compile time;
// the normal builds check it.
#ifndef __SANITIZE_ADDRESS__
static_assert(OwnRoutesNameTheirEffect(), "own-effect routes name their effect, others none");
#endif

// Every described parameter names a slot that exists, once, with its default inside its range.
constexpr bool ParametersAreWellFormed() {
  for (const EffectDescriptor& e : kEffects) {
    uint32_t seen = 0;
    for (const EffectParameter& p : e.parameters) {
      if (p.kind == ArgumentKind::kSlider && (p.number < 1 || p.number > 6)) return false;
      if (p.kind == ArgumentKind::kOption && (p.number < 1 || p.number > 8)) return false;
      if (p.label.empty() || p.low > p.high || p.standard < p.low || p.standard > p.high)
        return false;
      if (seen & ReadBit(p)) return false;
      seen |= ReadBit(p);
    }
    if (e.summary.empty()) return false;
  }
  return true;
}
static_assert(ParametersAreWellFormed(), "parameter descriptions are complete and consistent");

}  // namespace

std::span<const EffectDescriptor> EffectCatalogue() { return kEffects; }

const EffectDescriptor* EffectAt(int32_t index) {
  if (index < 0 || std::size_t(index) >= kCount) return nullptr;
  return &kEffects[std::size_t(index)];
}

const EffectDescriptor* FindEffect(std::string_view name) {
  const auto at =
      std::lower_bound(kByName.begin(), kByName.end(), name,
                       [](uint16_t i, std::string_view key) { return kEffects[i].name < key; });
  if (at == kByName.end() || kEffects[*at].name != name) return nullptr;
  return &kEffects[*at];
}

}  // namespace process
