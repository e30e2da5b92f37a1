// Effects that paint a picture-script file named by the text argument and lay it over the
// current layer: Patternizer and Pattern Explorer (the picture distorted, then repeated),
// Backgrounds (the picture repeated over the layer), Texturize Emboss and
// Texturize Bump (the picture as a relief pressed into the layer) and Displacement Bump (the
// layer seen through that relief). Each comes under five names, one for each family of the
// shipped script library; the names of a family behave identically. A missing, unreadable or
// malformed script leaves the layer unchanged.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

void PatternizerBody(const EffectCall& call);
void PatternExplorerBody(const EffectCall& call);
void BackgroundsBody(const EffectCall& call);
void TexturizeEmbossBody(const EffectCall& call);
void TexturizeBumpBody(const EffectCall& call);
void DisplacementBumpBody(const EffectCall& call);

inline constexpr EffectParameter kTileSize = Slider(1, "tile size", 1000);

inline constexpr EffectParameter kPatternizerParameters[] = {
    kTileSize,
    Option(3,
           "distortion (0 none, 1 turn, 2 waves, 3 sine distortion, 4 twirl, 5 tilt, "
           "6 kaleidoscope)",
           0, 6, 1),
    ScriptValue("distortion amount (degrees for turn and twirl)", -100000, 100000, 45),
    TextArgument("picture script", "scripts/utility/checker.picscript")};
inline constexpr EffectParameter kPatternExplorerParameters[] = {
    kTileSize, Option(1, "seed", 0, 2147483647, 1),
    TextArgument("picture script", "scripts/utility/checker.picscript")};
inline constexpr EffectDescriptor kPatternizerEffect =
    FreeFormRow("Patternizer", EffectRoute::kFreeForm, PatternizerBody, kPatternizerParameters,
                "Repeats a picture script over the layer after turning or distorting it.");
inline constexpr EffectDescriptor kPatternExplorerEffect = FreeFormRow(
    "Pattern Explorer", EffectRoute::kFreeForm, PatternExplorerBody, kPatternExplorerParameters,
    "Like Patternizer, with the distortion and its amount chosen by the seed.");

#define PALMORA_SCRIPT_FILE_PARAMETERS(Family, file)                                             \
  inline constexpr EffectParameter kBackgrounds##Family##Parameters[] = {                        \
      kTileSize, TextArgument("picture script", "scripts/" file ".picscript")};                  \
  inline constexpr EffectParameter kTexturizeEmboss##Family##Parameters[] = {                    \
      kTileSize, Slider(2, "depth", 300), Slider(3, "light direction", 375),                     \
      Flag(3, "inverted relief"), TextArgument("picture script", "scripts/" file ".picscript")}; \
  inline constexpr EffectParameter kTexturizeBump##Family##Parameters[] = {                      \
      kTileSize,                                                                                 \
      Slider(2, "depth", 250),                                                                   \
      Slider(3, "light direction", 375),                                                         \
      Slider(4, "strength", 1000),                                                               \
      Flag(4, "inverted relief"),                                                                \
      TextArgument("picture script", "scripts/" file ".picscript")};                             \
  inline constexpr EffectParameter kDisplacementBump##Family##Parameters[] = {                   \
      Slider(1, "amount", 100), Colour("fill", 0, 0, 0),                                         \
      TextArgument("picture script", "scripts/" file ".picscript")};
PALMORA_SCRIPT_FILE_PARAMETERS(Material, "material/wood")
PALMORA_SCRIPT_FILE_PARAMETERS(Nature, "nature/clouds")
PALMORA_SCRIPT_FILE_PARAMETERS(Surface, "surface/canvas")
PALMORA_SCRIPT_FILE_PARAMETERS(Other, "other/rainbow")
PALMORA_SCRIPT_FILE_PARAMETERS(Utility, "utility/checker")
#undef PALMORA_SCRIPT_FILE_PARAMETERS

#define PALMORA_SCRIPT_FILE_ROWS(Family, family)                                                   \
  inline constexpr EffectDescriptor kBackgrounds##Family##Effect =                                 \
      FreeFormRow("Backgrounds " #Family, EffectRoute::kFreeForm, BackgroundsBody,                 \
                  kBackgrounds##Family##Parameters,                                                \
                  "Repeats a " family " picture script over the layer, opaque.");                  \
  inline constexpr EffectDescriptor kTexturizeEmboss##Family##Effect =                             \
      FreeFormRow("Texturize Emboss " #Family, EffectRoute::kFreeForm, TexturizeEmbossBody,        \
                  kTexturizeEmboss##Family##Parameters,                                            \
                  "Presses an embossed " family " picture script into the layer's colours.");      \
  inline constexpr EffectDescriptor kTexturizeBump##Family##Effect =                               \
      FreeFormRow("Texturize Bump " #Family, EffectRoute::kFreeForm, TexturizeBumpBody,            \
                  kTexturizeBump##Family##Parameters,                                              \
                  "Lights a " family " picture script as a relief and overlays it on the layer."); \
  inline constexpr EffectDescriptor kDisplacementBump##Family##Effect =                            \
      FreeFormRow("Displacement Bump " #Family, EffectRoute::kFreeForm, DisplacementBumpBody,      \
                  kDisplacementBump##Family##Parameters,                                           \
                  "The layer seen through a relief made by a " family " picture script.");
PALMORA_SCRIPT_FILE_ROWS(Material, "material")
PALMORA_SCRIPT_FILE_ROWS(Nature, "nature")
PALMORA_SCRIPT_FILE_ROWS(Surface, "surface")
PALMORA_SCRIPT_FILE_ROWS(Other, "other")
PALMORA_SCRIPT_FILE_ROWS(Utility, "utility")
#undef PALMORA_SCRIPT_FILE_ROWS

}  // namespace process
