// What the polygon warps share: the current layer's content box, the corners it is drawn onto,
// and the run on the premultiplied source buffer 32 (the destination cleared to the effect
// colour at alpha 0 first, so whatever the warp does not reach is transparent).
#pragma once

#include <cstdint>

#include "process/effect_call.h"

namespace process {

// The box round the current layer's pixels with any alpha, as pixel edges (right and bottom
// one past the last pixel).
struct ContentBox {
  double left, top, right, bottom;
  double Width() const { return right - left; }
  double Height() const { return bottom - top; }
  double CentreX() const { return (left + right) / 2; }
  double CentreY() const { return (top + bottom) / 2; }
};

// Where the warp takes the content box. Four corners (top left, top right, bottom right, bottom
// left) are a perspective map; three (top left, top right, bottom left) an affine one.
struct WarpTargets {
  double points[8];
  uint32_t count = 4;
  // The content box's own corners in the same order, to start from.
  static WarpTargets Corners(const ContentBox& box);
};

using TargetsOf = WarpTargets (*)(const EffectCall& call, const ContentBox& box, int32_t width,
                                  int32_t height);

// Clears the destination, finds the content box and warps it onto the targets. False (nothing
// written back) for a layer with no content or targets that span no area.
bool RunPolygonWarp(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                    int32_t width, int32_t height, TargetsOf targets);

}  // namespace process
