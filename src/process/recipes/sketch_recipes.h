// Recipes that turn the picture into a drawing: a grey copy lit against a soft, inverted copy of
// itself in dodge mode (pencil and charcoal), and outlines found as the steep parts of the
// picture's relief.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void CharcoalRecipe(const EffectCall& call);
void ColorPencil2Recipe(const EffectCall& call);
void Edge3Recipe(const EffectCall& call);
void Outliner1Recipe(const EffectCall& call);
void Outliner2Recipe(const EffectCall& call);

// Value Blur's weights: how much of itself a pixel keeps after a lighter and after a darker
// neighbour; low values smear further.
inline constexpr EffectParameter kCharcoalParameters[] = {Slider(1, "keep after lighter", 60),
                                                          Slider(2, "keep after darker", 60)};
inline constexpr EffectDescriptor kCharcoalEffect = FreeFormRow(
    "Charcoal", EffectRoute::kFreeForm, CharcoalRecipe, kCharcoalParameters,
    "A grey charcoal drawing: dark strokes smeared along the picture's shapes on light paper.");

inline constexpr EffectParameter kColorPencil2Parameters[] = {Slider(1, "line strength", 250)};
inline constexpr EffectDescriptor kColorPencil2Effect = FreeFormRow(
    "Color Pencil 2", EffectRoute::kFreeForm, ColorPencil2Recipe, kColorPencil2Parameters,
    "Coloured pencil lines along the picture's edges on white paper.");

inline constexpr EffectParameter kEdge3Parameters[] = {Slider(1, "line width", 100)};
inline constexpr EffectDescriptor kEdge3Effect =
    FreeFormRow("Edge3", EffectRoute::kFreeForm, Edge3Recipe, kEdge3Parameters,
                "A grey pencil sketch of the picture's edges.");

inline constexpr EffectParameter kOutlinerParameters[] = {Slider(1, "line strength", 300),
                                                          Slider(2, "opacity", 1000)};
inline constexpr EffectDescriptor kOutliner1Effect =
    FreeFormRow("Outliner 1", EffectRoute::kFreeForm, Outliner1Recipe, kOutlinerParameters,
                "Draws dark outlines along the picture's edges over its colours.");
inline constexpr EffectDescriptor kOutliner2Effect =
    FreeFormRow("Outliner 2", EffectRoute::kFreeForm, Outliner2Recipe, kOutlinerParameters,
                "Replaces the picture by its outlines, dark lines on white.");

}  // namespace process
