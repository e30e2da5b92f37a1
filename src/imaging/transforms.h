// The transform list: geometric transforms collected one by one and then applied to a picture in
// one pass. Each destination pixel is traced back through the list (last added first) to the
// source position it shows.
#pragma once

#include <cstdint>

namespace imaging {

// What a transform does with positions that leave its frame.
inline constexpr uint32_t kEdgeFill = 0;    // outside stays outside: the pixel gets the fill colour
inline constexpr uint32_t kEdgeWrap = 1;    // the picture repeats: positions wrap round the frame
inline constexpr uint32_t kEdgeRepeat = 2;  // the border pixels stretch outward
inline constexpr uint32_t kEdgeMirror = 3;  // the picture is reflected at its borders

// Empties the list.
int32_t is5_ClearAllTransforms();

// Adds a move by (dx, dy) pixels within a width x height frame, with an edge mode above. Fails
// for an empty frame, a non-finite offset or an unknown edge mode; the list is then unchanged.
int32_t is5_AddOffsetTransform(uint32_t width, uint32_t height, double dx, double dy,
                               uint32_t edgeMode);

// Adds a displacement through a bump map (see bump_map_displacement.h) over a width x height
// frame: the grey map (one byte a pixel, mapWidth x mapHeight, repeated over the frame) is read
// as a relief, and amount scales how far its slopes move the picture. The map is copied. Fails
// for an empty frame or map, a null map or an amount that is not finite.
int32_t is5_AddBumpMapDisplacementTransform(uint32_t width, uint32_t height, float amount,
                                            const void* map, uint32_t mapWidth,
                                            uint32_t mapHeight);

// Adds a scatter within a width x height frame: every position moves by its own random offset of
// up to amount pixels along each axis, a fixed function of the position and seed (frosted
// glass). Positions pushed past the frame repeat its border. Fails for an empty frame or an
// amount that is not finite or is negative.
int32_t is5_AddRandomTransform(uint32_t width, uint32_t height, double amount, uint32_t seed);

// Applies the list to src into dst (same size). quality 0 takes the nearest pixel (whole-pixel
// moves are exact copies), 1 interpolates bilinearly. Positions outside the source after the list
// get fill (packed red | green << 8 | blue << 16 | alpha << 24). bytesPerPixel is 1, 3 or 4.
// flags is reserved. Fails on an empty list, bad pictures or an unknown quality.
int32_t is5_TransformProcess(const void* src, uint32_t width, uint32_t height,
                             uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                             uint32_t dstRowBytes, uint32_t quality, uint32_t fill, uint32_t flags);

}  // namespace imaging
