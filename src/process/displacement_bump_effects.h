// Displacement Bump under its five names (one for each family of the shipped picture scripts):
// one body that paints the text argument's picture script as a relief and moves the current layer
// along its slopes.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

// Refreshes and premultiplies the source buffer 32, then displaces it through the script's
// relief by percent slider 1, the effect colour filling what comes from outside.
void DisplacementBumpBody(const EffectCall& call);

inline constexpr EffectParameter kDisplacementBumpParameters[] = {
    Slider(1, "amount", 100),
    TextArgument("relief picture script", "scripts/grainy_marble.picscript"),
    Colour("fill colour", 0, 0, 0),
};

constexpr EffectDescriptor DisplacementBumpRow(std::string_view name) {
  return FreeFormRow(name, EffectRoute::kFreeForm, DisplacementBumpBody,
                     kDisplacementBumpParameters,
                     "Moves the picture along the slopes of a relief painted by a picture script.");
}
inline constexpr EffectDescriptor kDisplacementBumpMaterialEffect =
    DisplacementBumpRow("Displacement Bump Material");
inline constexpr EffectDescriptor kDisplacementBumpNatureEffect =
    DisplacementBumpRow("Displacement Bump Nature");
inline constexpr EffectDescriptor kDisplacementBumpSurfaceEffect =
    DisplacementBumpRow("Displacement Bump Surface");
inline constexpr EffectDescriptor kDisplacementBumpOtherEffect =
    DisplacementBumpRow("Displacement Bump Other");
inline constexpr EffectDescriptor kDisplacementBumpUtilityEffect =
    DisplacementBumpRow("Displacement Bump Utility");

}  // namespace process
