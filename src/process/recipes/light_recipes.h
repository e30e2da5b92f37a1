// Recipes of light and tone: glows of a blurred copy merged back in, the photographer's contrast
// mask, photo pop and its detailer, an embossed relief laid over the colours, and a drop shadow.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void GlowRecipe(const EffectCall& call);
void RadiantRecipe(const EffectCall& call);
void Radiant2Recipe(const EffectCall& call);
void ContrastMaskRecipe(const EffectCall& call);
void PhotoPopRecipe(const EffectCall& call);
void PhotoDetailerRecipe(const EffectCall& call);
void Emboss3Recipe(const EffectCall& call);
void DropShadowRecipe(const EffectCall& call);

inline constexpr EffectParameter kGlowRecipeParameters[] = {Slider(1, "keep after lighter", 10),
                                                            Slider(2, "keep after darker", 10)};
inline constexpr EffectDescriptor kGlowEffect =
    FreeFormRow("Glow", EffectRoute::kFreeForm, GlowRecipe, kGlowRecipeParameters,
                "The picture's edges glowing out of the dark.");

inline constexpr EffectParameter kRadiantParameters[] = {Slider(1, "blur", 200),
                                                         Slider(2, "strength", 600)};
inline constexpr EffectDescriptor kRadiantEffect =
    FreeFormRow("Radiant", EffectRoute::kFreeForm, RadiantRecipe, kRadiantParameters,
                "A soft copy overlaid on the picture: richer, glowing colour and contrast.");
inline constexpr EffectDescriptor kRadiant2Effect =
    FreeFormRow("Radiant 2", EffectRoute::kFreeForm, Radiant2Recipe, kRadiantParameters,
                "A soft copy screened over the picture: a bright, dreamy haze of light.");

inline constexpr EffectParameter kContrastMaskParameters[] = {Slider(1, "blur", 300),
                                                              Slider(2, "strength", 700)};
inline constexpr EffectDescriptor kContrastMaskEffect = FreeFormRow(
    "Contrast Mask", EffectRoute::kFreeForm, ContrastMaskRecipe, kContrastMaskParameters,
    "Opens the shadows and holds back the highlights, keeping the detail.");

inline constexpr EffectParameter kPhotoPopParameters[] = {
    Slider(1, "contrast", 50), Slider(2, "saturation", 550), Flag(3, "extra contrast pass")};
inline constexpr EffectDescriptor kPhotoPopEffect =
    FreeFormRow("Photo Pop", EffectRoute::kFreeForm, PhotoPopRecipe, kPhotoPopParameters,
                "Sharper, punchier and more colourful in one go.");

inline constexpr EffectParameter kPhotoDetailerParameters[] = {
    Slider(1, "contrast", 200), Slider(2, "saturation", 550), Slider(3, "detail size", 300),
    Slider(4, "detail strength", 800)};
inline constexpr EffectDescriptor kPhotoDetailerEffect = FreeFormRow(
    "Photo Detailer", EffectRoute::kFreeForm, PhotoDetailerRecipe, kPhotoDetailerParameters,
    "Photo Pop, then the local detail brought out against broad light and shade.");

inline constexpr EffectParameter kEmboss3Parameters[] = {
    Slider(1, "depth", 250), Slider(2, "light direction", 375), Slider(3, "strength", 1000)};
inline constexpr EffectDescriptor kEmboss3Effect =
    FreeFormRow("Emboss3", EffectRoute::kFreeForm, Emboss3Recipe, kEmboss3Parameters,
                "The picture's colours pressed into a lit relief of its own shapes.");

inline constexpr EffectParameter kDropShadowParameters[] = {
    Slider(1, "offset right", 540), Slider(2, "offset down", 540), Slider(3, "opacity", 700),
    Slider(4, "softness", 200), Colour("shadow", 0, 0, 0)};
inline constexpr EffectDescriptor kDropShadowEffect =
    FreeFormRow("Drop Shadow", EffectRoute::kFreeForm, DropShadowRecipe, kDropShadowParameters,
                "A soft shadow of the layer's shapes cast behind them.");

}  // namespace process
