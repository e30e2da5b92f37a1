// The polygon warps as effects: each draws the current layer's content box onto four corners
// (three for Warp 3 Point) worked out from its sliders or options, on the premultiplied source
// buffer 32. Each body lives in its own file.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

#define PALMORA_POLYGON_WARP_BODY(Name)                                                         \
  bool Name(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width, \
            int32_t height)

// Corner moves in pixels, as options: x then y of each corner in turn.
inline constexpr int32_t kMoveLimit = 65536;
#define PALMORA_CORNER_MOVES(first, corner)                    \
  Option(first, corner " x move", -kMoveLimit, kMoveLimit, 0), \
      Option(first + 1, corner " y move", -kMoveLimit, kMoveLimit, 0)

// The colour the destination is cleared to, at alpha 0: the area the warp leaves uncovered is
// transparent and keeps this colour underneath.
inline constexpr EffectParameter kUncoveredColour =
    Colour("colour under the uncovered area", 255, 255, 255);

PALMORA_POLYGON_WARP_BODY(PerspectiveBody);
inline constexpr EffectParameter kPerspectiveParameters[] = {
    Slider(1, "narrow top / bottom (50 % none)", 650),
    Slider(2, "narrow left / right (50 % none)", 500), kUncoveredColour};
inline constexpr EffectDescriptor kPerspectiveEffect =
    BufferRow("Perspective", EffectRoute::kSource32, kPremultiplied, PerspectiveBody,
              kPerspectiveParameters, "Narrows one side of the content, as if seen at a slant.");

PALMORA_POLYGON_WARP_BODY(WarpBody);
inline constexpr EffectParameter kWarpParameters[] = {
    PALMORA_CORNER_MOVES(1, "top-left"), PALMORA_CORNER_MOVES(3, "top-right"),
    PALMORA_CORNER_MOVES(5, "bottom-right"), PALMORA_CORNER_MOVES(7, "bottom-left"),
    kUncoveredColour};
inline constexpr EffectDescriptor kWarpEffect =
    BufferRow("Warp", EffectRoute::kSource32, kPremultiplied, WarpBody, kWarpParameters,
              "Moves the content's four corners freely, in pixels.");

PALMORA_POLYGON_WARP_BODY(WarpEdgeBody);
inline constexpr EffectParameter kWarpEdgeParameters[] = {
    PALMORA_CORNER_MOVES(1, "top-left"), PALMORA_CORNER_MOVES(3, "top-right"),
    PALMORA_CORNER_MOVES(5, "bottom-right"), PALMORA_CORNER_MOVES(7, "bottom-left"),
    kUncoveredColour};
inline constexpr EffectDescriptor kWarpEdgeEffect = BufferRow(
    "Warp Edge", EffectRoute::kSource32, kPremultiplied, WarpEdgeBody, kWarpEdgeParameters,
    "Draws the content onto the canvas corners, each moved by its own pixels.");

PALMORA_POLYGON_WARP_BODY(Warp3PointBody);
inline constexpr EffectParameter kWarp3PointParameters[] = {
    PALMORA_CORNER_MOVES(1, "top-left"), PALMORA_CORNER_MOVES(3, "top-right"),
    PALMORA_CORNER_MOVES(5, "bottom-left"), kUncoveredColour};
inline constexpr EffectDescriptor kWarp3PointEffect = BufferRow(
    "Warp 3 Point", EffectRoute::kSource32, kPremultiplied, Warp3PointBody, kWarp3PointParameters,
    "Moves three corners; the fourth follows so that lines stay parallel.");

PALMORA_POLYGON_WARP_BODY(StretchBody);
inline constexpr EffectParameter kStretchParameters[] = {
    Slider(1, "width (50 % as is)", 600), Slider(2, "height (50 % as is)", 500), kUncoveredColour};
inline constexpr EffectDescriptor kStretchEffect =
    BufferRow("Stretch", EffectRoute::kSource32, kPremultiplied, StretchBody, kStretchParameters,
              "Stretches or squeezes the content about its middle, a quarter to four times.");

PALMORA_POLYGON_WARP_BODY(StretchEdgeBody);
inline constexpr EffectParameter kStretchEdgeParameters[] = {Slider(1, "margin", 0),
                                                             kUncoveredColour};
inline constexpr EffectDescriptor kStretchEdgeEffect =
    BufferRow("Stretch Edge", EffectRoute::kSource32, kPremultiplied, StretchEdgeBody,
              kStretchEdgeParameters, "Stretches the content out to the canvas edges.");

PALMORA_POLYGON_WARP_BODY(VerticalPivotBody);
inline constexpr EffectParameter kVerticalPivotParameters[] = {Slider(1, "turn (50 % none)", 650),
                                                               kUncoveredColour};
inline constexpr EffectDescriptor kVerticalPivotEffect = BufferRow(
    "Vertical Pivot", EffectRoute::kSource32, kPremultiplied, VerticalPivotBody,
    kVerticalPivotParameters, "Turns the content like a door about its upright middle line.");

PALMORA_POLYGON_WARP_BODY(HorizontalPivotBody);
inline constexpr EffectParameter kHorizontalPivotParameters[] = {Slider(1, "tilt (50 % none)", 650),
                                                                 kUncoveredColour};
inline constexpr EffectDescriptor kHorizontalPivotEffect = BufferRow(
    "Horizontal Pivot", EffectRoute::kSource32, kPremultiplied, HorizontalPivotBody,
    kHorizontalPivotParameters, "Tilts the content back or forward about its level middle line.");

PALMORA_POLYGON_WARP_BODY(SkewBody);
inline constexpr EffectParameter kSkewParameters[] = {
    Slider(1, "horizontal slant (50 % none)", 600), Slider(2, "vertical slant (50 % none)", 500),
    kUncoveredColour};
inline constexpr EffectDescriptor kSkewEffect =
    BufferRow("Skew", EffectRoute::kSource32, kPremultiplied, SkewBody, kSkewParameters,
              "Slants the content sideways or up and down, up to 60 degrees.");

#undef PALMORA_CORNER_MOVES
#undef PALMORA_POLYGON_WARP_BODY

}  // namespace process
