#include "process/effects/own_effect_table.h"

#include <iterator>

#include "process/effects/own_effects.h"

namespace process {

namespace {

constexpr OwnEffect kOwnEffects[] = {
    {"Anti Alias", AntiAlias},
    {"Adaptive Blur", AdaptiveBlur},
    {"Line Art Cleaner", LineArtCleaner},
    {"Basic Threshold", BasicThreshold},
    {"Adjust Lab", AdjustLab},
    {"Detail Blur", DetailBlur},
    {"Value Blur", ValueBlur},
    {"Noise Reduction", NoiseReduction},
    {"Noise Reduction RGB", NoiseReductionRGB},
    {"Hyper Contrast", HyperContrast},
    {"Bas Relief", BasRelief},
    {"Grayscale", Grayscale},
    {"Invert", Invert},
    {"Vignette", Vignette},
    {"Channel", Channel},
    {"Reflection", Reflection},
    {"Fader", Fader},
    {"Borderize", Borderize},
    {"Clamp", Clamp},
    {"Mask Detail", MaskDetail},
};

constexpr bool NamesAreUnique() {
  for (std::size_t i = 0; i < std::size(kOwnEffects); ++i)
    for (std::size_t j = i + 1; j < std::size(kOwnEffects); ++j)
      if (kOwnEffects[i].name == kOwnEffects[j].name) return false;
  return true;
}
static_assert(std::size(kOwnEffects) == 20);
static_assert(NamesAreUnique());

}  // namespace

const OwnEffect* FindOwnEffect(std::string_view name) {
  for (const OwnEffect& effect : kOwnEffects)
    if (effect.name == name) return &effect;
  return nullptr;
}

}  // namespace process
