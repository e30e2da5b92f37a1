// The picture-script runner's filters: most rework a copy of the current layer in place; Minimum
// reads the refreshed, premultiplied source buffer.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

#define PALMORA_SCRIPT_LAYER_BODY(Name) \
  bool Name(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height)
PALMORA_SCRIPT_LAYER_BODY(ColorizeBody);
PALMORA_SCRIPT_LAYER_BODY(ScratchBody);
PALMORA_SCRIPT_LAYER_BODY(DividerBody);
PALMORA_SCRIPT_LAYER_BODY(CarpetBody);
PALMORA_SCRIPT_LAYER_BODY(GlassBody);
PALMORA_SCRIPT_LAYER_BODY(VoxelBody);
PALMORA_SCRIPT_LAYER_BODY(SeamlessBody);
PALMORA_SCRIPT_LAYER_BODY(EdgeBody);
PALMORA_SCRIPT_LAYER_BODY(BumpBody);
PALMORA_SCRIPT_LAYER_BODY(MaximumBody);
#undef PALMORA_SCRIPT_LAYER_BODY
bool MinimumBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                 int32_t height);

inline constexpr EffectParameter kColorizeParameters[] = {Slider(1, "amount", 1000),
                                                          Colour("colour", 176, 112, 48)};
inline constexpr EffectParameter kScratchParameters[] = {Slider(1, "length", 125),
                                                         Slider(2, "strength", 500),
                                                         Slider(3, "width", 50),
                                                         ScriptValue("count", 0, 100000, 30),
                                                         Option(1, "seed", 0, 2147483647, 1),
                                                         Colour("colour", 255, 255, 255)};
inline constexpr EffectParameter kDividerParameters[] = {
    Slider(1, "bar width", 80), Slider(2, "bevel", 400), Option(3, "columns", 1, 1000, 4),
    Option(4, "rows", 1, 1000, 4), Colour("bar colour", 255, 255, 255)};
inline constexpr EffectParameter kCarpetParameters[] = {
    Slider(1, "knot size", 97), Slider(2, "pile depth", 600), Option(1, "seed", 0, 2147483647, 1)};
inline constexpr EffectParameter kGlassParameters[] = {
    Slider(1, "strength", 160), Slider(2, "ripple size", 111), Slider(3, "highlight", 250),
    Option(1, "seed", 0, 2147483647, 1)};
inline constexpr EffectParameter kVoxelParameters[] = {Slider(1, "block size", 161),
                                                       Slider(2, "depth", 500)};
inline constexpr EffectParameter kSeamlessParameters[] = {Slider(1, "fade width", 500)};
inline constexpr EffectParameter kEdgeParameters[] = {Slider(1, "strength", 250),
                                                      Flag(3, "dark lines on white")};
inline constexpr EffectParameter kBumpParameters[] = {
    Slider(1, "depth", 250), Slider(2, "light direction", 375), Slider(3, "light height", 500),
    Slider(4, "ambient light", 250)};
inline constexpr EffectParameter kRankParameters[] = {Slider(1, "radius", 20)};

inline constexpr EffectDescriptor kColorizeEffect =
    LayerCopyRow("Colorize", ColorizeBody, kColorizeParameters,
                 "Gives the picture the hue and saturation of one colour, keeping its lightness.");
inline constexpr EffectDescriptor kScratchEffect =
    LayerCopyRow("Scratch", ScratchBody, kScratchParameters,
                 "Fine wandering scratches that fade in and out, as on old film.");
inline constexpr EffectDescriptor kDividerEffect =
    LayerCopyRow("Divider", DividerBody, kDividerParameters,
                 "Divides the picture into bevelled panes with bars between them.");
inline constexpr EffectDescriptor kCarpetEffect = LayerCopyRow(
    "Carpet", CarpetBody, kCarpetParameters, "Knots the picture as a pile carpet of woven tufts.");
inline constexpr EffectDescriptor kGlassEffect =
    LayerCopyRow("Glass", GlassBody, kGlassParameters, "The picture seen through rippled glass.");
inline constexpr EffectDescriptor kVoxelEffect =
    LayerCopyRow("Voxel", VoxelBody, kVoxelParameters,
                 "Builds the picture from raised square blocks lit from the upper left.");
inline constexpr EffectDescriptor kSeamlessEffect = LayerCopyRow(
    "Seamless", SeamlessBody, kSeamlessParameters, "Makes the picture tile without visible joins.");
inline constexpr EffectDescriptor kEdgeEffect =
    LayerCopyRow("Edge", EdgeBody, kEdgeParameters,
                 "Shows where the picture changes: light edges on black or dark lines on white.");
inline constexpr EffectDescriptor kBumpEffect =
    LayerCopyRow("Bump", BumpBody, kBumpParameters,
                 "Lights the picture as a relief whose height is its lightness.");
inline constexpr EffectDescriptor kMaximumEffect =
    LayerCopyRow("Maximum", MaximumBody, kRankParameters,
                 "Each channel takes its largest value within the radius.");
inline constexpr EffectDescriptor kMinimumEffect =
    BufferRow("Minimum", EffectRoute::kSource32, kPremultiplied, MinimumBody, kRankParameters,
              "Each channel takes its smallest value within the radius.");

}  // namespace process
