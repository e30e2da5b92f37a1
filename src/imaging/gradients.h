// Colour gradients filled into pictures of 4 bytes a pixel.
#pragma once

#include <cstdint>

namespace imaging {

// stopColours holds stopCount 4-byte entries blue, green, red, alpha; stopPositions their places
// along the gradient in percent (ascending). Pixels are written red, green, blue, alpha. Before
// the first stop and past the last the end colours continue. smooth 1 blends neighbouring stops
// linearly, 0 gives hard bands. reserved1 and reserved2 are reserved. Fails for a bad picture,
// fewer than one stop or more than 256.

// Along the line from (x0, y0) to (x1, y1): a pixel takes the colour of its projection onto it.
int32_t ISE3GradientFillImageLinear(void* image, uint32_t width, uint32_t height,
                                    uint32_t bytesPerPixel, uint32_t rowBytes, double x0, double y0,
                                    double x1, double y1, const uint8_t* stopColours,
                                    const int32_t* stopPositions, uint32_t stopCount,
                                    uint32_t reserved1, uint32_t smooth, uint32_t reserved2);

// Around (centreX, centreY): a pixel at distance d takes the colour of d / radius.
int32_t ISE3GradientFillImageRadial(void* image, uint32_t width, uint32_t height,
                                    uint32_t bytesPerPixel, uint32_t rowBytes, double radius,
                                    double centreX, double centreY, const uint8_t* stopColours,
                                    const int32_t* stopPositions, uint32_t stopCount,
                                    uint32_t reserved1, uint32_t smooth, uint32_t reserved2);

}  // namespace imaging
