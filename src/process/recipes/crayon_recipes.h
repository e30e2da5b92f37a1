// Recipes of coloured media: pencil and crayon (a relief that brings out the paper's tooth, a
// contrast curve and a saturation change, then for crayon a waxy smear), pointillism (crayon
// with dots of colour noise) and watercolour washes under pen outlines and scribbles.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void ColorPencilRecipe(const EffectCall& call);
void CrayonRecipe(const EffectCall& call);
void PointillismRecipe(const EffectCall& call);
void WatercolorAndInkRecipe(const EffectCall& call);

inline constexpr EffectParameter kColorPencilParameters[] = {
    Slider(1, "contrast", 200),
    Slider(2, "saturation", 400),
    Option(1, "relief from", 0, 3, 0),
};
inline constexpr EffectDescriptor kColorPencilEffect =
    FreeFormRow("Color Pencil", EffectRoute::kFreeForm, ColorPencilRecipe, kColorPencilParameters,
                "Soft coloured-pencil shading with the strokes' edges raised.");

inline constexpr EffectParameter kCrayonParameters[] = {
    Slider(1, "contrast", 200),
    Slider(2, "saturation", 600),
    Slider(3, "keep against smear", 600),
    Option(1, "relief from", 0, 3, 0),
};
inline constexpr EffectDescriptor kCrayonEffect =
    FreeFormRow("Crayon", EffectRoute::kFreeForm, CrayonRecipe, kCrayonParameters,
                "Waxy crayon colour smeared along the shapes, its edges raised.");

inline constexpr EffectParameter kPointillismParameters[] = {
    Slider(1, "contrast", 200),           Slider(2, "saturation", 700),
    Slider(3, "keep against smear", 500), Slider(4, "dots", 400),
    Option(1, "relief from", 0, 3, 0),
};
inline constexpr EffectDescriptor kPointillismEffect =
    FreeFormRow("Pointillism", EffectRoute::kFreeForm, PointillismRecipe, kPointillismParameters,
                "Painted in small dabs of bright, broken colour.");

inline constexpr EffectParameter kWatercolorAndInkParameters[] = {
    Slider(1, "keep against wash", 400),
    Slider(2, "ink", 50),
    Slider(3, "scribble size", 200),
    Slider(4, "outline strength", 400),
};
inline constexpr EffectDescriptor kWatercolorAndInkEffect = FreeFormRow(
    "Watercolor and Ink", EffectRoute::kFreeForm, WatercolorAndInkRecipe,
    kWatercolorAndInkParameters, "Soft washes of colour under pen outlines and loose scribbles.");

}  // namespace process
