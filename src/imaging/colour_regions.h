// Colour regions of pictures of 1, 3 or 4 bytes a pixel: replacing every pixel near a colour,
// flood filling the connected region around a point, and marking that region in a byte map.
//
// Colours are packed first byte | second << 8 | third << 16 | fourth << 24. A pixel lies within
// tolerance T of a colour when the squared differences of its colour bytes (the first three, or
// the one byte of a grey picture), scaled to three bytes, add up to T or less: T = 0 matches the
// colour exactly and T = 195075 (3 x 255^2) matches every pixel. The fourth byte of a 4-byte
// pixel is its alpha: it takes no part in the match.
#pragma once

#include <cstdint>

#include "imaging/shapes.h"

namespace imaging {

// Options of IS3ColorReplaceImage.
inline constexpr uint32_t kReplaceColourBytes = 0;  // matching pixels keep their alpha byte
inline constexpr uint32_t kReplaceWholePixel = 2;   // the alpha byte too comes from the new colour

// Every pixel within tolerance of oldColour takes newColour, in place.
int32_t IS3ColorReplaceImage(void* image, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                             uint32_t rowBytes, uint32_t oldColour, uint32_t newColour,
                             uint32_t tolerance, uint32_t option);

// Connectivity argument of the region functions: 1 joins pixels that share an edge, any other
// value also those that share a corner.
inline constexpr uint32_t kEdgeNeighbours = 1;

// The region connected to point whose pixels lie within tolerance of the point's own colour takes
// fillColour (its colour bytes; alpha bytes are kept), in place. reserved is reserved. Fails for a
// point outside the picture.
int32_t IS3FloodFillImage(void* image, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                          uint32_t rowBytes, ImagePoint point, uint32_t fillColour,
                          uint32_t connectivity, uint32_t tolerance, uint32_t reserved);

// Writes 1 into the width x height byte map (rows of mapRowBytes) for every pixel of the region
// that IS3FloodFillImage would fill; the other map bytes are left as they are. compareBytes
// selects by its bytes (0xFF each) which colour bytes the match compares; with none of the
// picture's colour bytes selected every pixel matches.
int32_t IS3GetColorMatchMaskFromImage(const void* image, uint32_t width, uint32_t height,
                                      uint32_t bytesPerPixel, uint32_t rowBytes, uint8_t* map,
                                      uint32_t mapRowBytes, ImagePoint point, uint32_t compareBytes,
                                      uint32_t connectivity, uint32_t tolerance, uint32_t reserved);

}  // namespace imaging
