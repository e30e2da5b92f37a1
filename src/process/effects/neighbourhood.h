// Visiting the pixels of a picture together with their (2r + 1) x (2r + 1) neighbourhood, for
// effects that look at the pixels around each one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "process/effects/effect_context.h"

namespace process {

// The rows around one row of the picture, read by the chain-flag rule.
template <int Radius>
struct NeighbourRows {
  const uint8_t* rows[2 * Radius + 1];

  // The pixel dx columns and dy rows away from column x of the middle row.
  const uint8_t* At(int32_t x, int dx, int dy) const {
    return rows[Radius + dy] + std::ptrdiff_t(x + dx) * 4;
  }
  // The sum of the luminances of the whole neighbourhood of column x.
  int32_t LuminanceSum(int32_t x) const {
    int32_t sum = 0;
    for (int dy = -Radius; dy <= Radius; ++dy)
      for (int dx = -Radius; dx <= Radius; ++dx) sum += Luminance(At(x, dx, dy));
    return sum;
  }
  // The sum of channel c over the whole neighbourhood of column x.
  int32_t ChannelSum(int32_t x, int c) const {
    int32_t sum = 0;
    for (int dy = -Radius; dy <= Radius; ++dy)
      for (int dx = -Radius; dx <= Radius; ++dx) sum += At(x, dx, dy)[c];
    return sum;
  }
};

// Calls visit(rows, out, x) for every pixel whose whole neighbourhood lies inside the picture,
// row by row from the top, left to right; out is the row written. With the chain flag set the
// rows read are the rows written, so neighbours above and to the left have already been changed
// when a pixel is reached. Pixels nearer the edge than Radius are left alone.
template <int Radius, typename Visit>
void ForEachInnerPixel(const EffectContext& context, Visit&& visit) {
  for (int32_t y = Radius; y <= context.lastRow - Radius; ++y) {
    NeighbourRows<Radius> around;
    for (int k = 0; k <= 2 * Radius; ++k) around.rows[k] = context.ReadRow(y - Radius + k);
    uint8_t* out = context.WriteRow(y);
    for (int32_t x = Radius; x <= context.lastColumn - Radius; ++x) visit(around, out, x);
  }
}

}  // namespace process
