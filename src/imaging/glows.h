// Glows around and inside the opaque parts of an RGBA32 picture.
#pragma once

#include <cstdint>

namespace imaging {

// Outer glow: the alpha is blurred with a Gaussian of the radius (beyond the picture counts as
// clear), multiplied by strength and limited to 1; that glow of the colour (red | green << 8 |
// blue << 16) is laid behind the picture, so it shows where the picture is clear or faint. dst
// may be src. 1 on success, 0 for a bad picture, radius or strength.
int32_t ISE40_OuterGlowRGBA(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                            void* dst, uint32_t dstRowBytes, uint32_t colour, double radius,
                            double strength);

// Inner glow: the same blur of the clear parts (beyond the picture counts as clear) tints the
// opaque parts towards the colour near their edges; alpha stays.
int32_t ISE40_InnerGlowRGBA(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                            void* dst, uint32_t dstRowBytes, uint32_t colour, double radius,
                            double strength);

}  // namespace imaging
