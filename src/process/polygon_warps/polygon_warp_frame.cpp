#include "process/polygon_warps/polygon_warp_frame.h"

#include "engine/engine_state.h"
#include "engine/layer_fills.h"
#include "engine/layer_queries.h"
#include "imaging/polygon_warp.h"

namespace process {

WarpTargets WarpTargets::Corners(const ContentBox& b) {
  return {{b.left, b.top, b.right, b.top, b.right, b.bottom, b.left, b.bottom}, 4};
}

bool RunPolygonWarp(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                    int32_t width, int32_t height, TargetsOf targets) {
  const int32_t rowBytes = width * 4;
  engine::ClearRGBA32(destination, rowBytes, call.red & 0xFF, call.green & 0xFF, call.blue & 0xFF,
                      0);
  int32_t left = 0, top = 0, right = -1, bottom = -1;
  if (!engine::FindDataExtentsLayer(engine::State().currentLayerIndex, &left, &top, &right,
                                    &bottom) ||
      left > right || top > bottom)
    return false;
  const ContentBox box{double(left), double(top), double(right) + 1, double(bottom) + 1};
  const WarpTargets from = WarpTargets::Corners(box);
  const WarpTargets to = targets(call, box, width, height);
  // An affine map takes the first, second and fourth corner.
  double start[8];
  for (int i = 0; i < 8; ++i) start[i] = from.points[i];
  if (to.count == 3) start[4] = from.points[6], start[5] = from.points[7];
  return imaging::is5_PolygonWarpImage(source, uint32_t(width), uint32_t(height), 4,
                                       uint32_t(rowBytes), destination, uint32_t(rowBytes), start,
                                       to.points, to.count, 1, 0) != 0;
}

}  // namespace process
