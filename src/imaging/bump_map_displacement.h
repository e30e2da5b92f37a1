// Displacement by a bump map: a grey picture read as a relief, through which the image is seen
// as through moulded glass. Where the relief slopes, pixels are fetched from further along the
// slope, so ridges and hollows bend the picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace imaging {

// The displacement of every position of a width x height frame, worked out once from the map.
struct BumpField {
  uint32_t width = 0, height = 0;
  std::vector<float> dx, dy;  // source position = position - (dx, dy)
};

// The field for a frame, from a mapWidth x mapHeight grey map (one byte a pixel, rows packed)
// laid over the frame from (0, 0) and repeated. amount is the displacement in pixels for a
// slope of one grey level per pixel, times 100 (amount 100 moves by the slope itself). The slope
// is the central difference of the map, wrapping round its edges, so a tiled map has no seams.
// Null for an empty frame or map, a null map or an amount that is not finite.
std::shared_ptr<const BumpField> MakeBumpField(uint32_t width, uint32_t height, float amount,
                                               const uint8_t* map, uint32_t mapWidth,
                                               uint32_t mapHeight);

// Moves positions (pixel centres at + 0.5) from the output back to the input through the field.
// Positions outside the frame are left where they are.
void TraceBackBump(const BumpField& field, double* xs, double* ys, std::size_t count);

}  // namespace imaging
