// What the runner's distortions share: an inverse mapping run over the picture in place, with
// the edge slot (0 background, 1 wrap round, 2 repeat the border, 3 mirror) and the background
// slot (a colour packed in the picture's byte order, alpha in the top byte).
#pragma once

#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/script/effect_random.h"
#include "imaging/script/script_model.h"
#include "imaging/transform_kinds.h"
#include "imaging/transforms.h"
#include "imaging/warp_sampler.h"

namespace imaging::script {

// The slots every distortion reads for its edges and background.
inline constexpr int kEdgeSlot = 7;
inline constexpr int kBackgroundSlot = 8;

// A slot value as a number the distortion can use: false for one that is not finite.
inline bool Finite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// Runs map(x, y, &sourceX, &sourceY) for the centre of every pixel (whole numbers plus one half)
// and redraws the picture from those positions. False for an unknown edge slot; throws
// std::bad_alloc.
template <typename Map>
bool WarpPictureInPlace(const Picture& picture, const std::array<double, kScriptValueSlots>& values,
                        Map map) {
  const double edge = values[kEdgeSlot];
  if (!(edge == kEdgeFill || edge == kEdgeWrap || edge == kEdgeRepeat || edge == kEdgeMirror))
    return false;
  const auto mode = static_cast<uint32_t>(edge);
  const uint32_t background = BitsFromValue(values[kBackgroundSlot]);
  const size_t rowBytes = size_t{picture.width} * 4;
  const std::vector<uint8_t> source(picture.pixels, picture.pixels + rowBytes * picture.height);
  const WarpSource from{source.data(),
                        picture.width,
                        picture.height,
                        4,
                        uint32_t(rowBytes),
                        mode == kEdgeFill ? WarpSource::kSoftFill : WarpSource::kRepeat,
                        {uint8_t(background), uint8_t(background >> 8), uint8_t(background >> 16),
                         uint8_t(background >> 24)}};
  const double width = picture.width, height = picture.height;
  WarpByRows(from, picture.pixels, uint32_t(rowBytes), 1, [&](uint32_t y, double* xs, double* ys) {
    for (uint32_t x = 0; x < picture.width; ++x) {
      map(x + 0.5, y + 0.5, &xs[x], &ys[x]);
      xs[x] = FoldIntoFrame(xs[x], width, mode);
      ys[x] = FoldIntoFrame(ys[x], height, mode);
    }
  });
  return true;
}

}  // namespace imaging::script
