// The photographer's contrast mask: a soft, inverted copy of the picture's brightness that, laid
// over the picture in overlay mode, lightens the shadows and darkens the highlights while the
// fine detail keeps its contrast.
#pragma once

#include <cstdint>

namespace imaging {

// Writes the contrast mask of a picture of 3 or 4 bytes a pixel into dst (same size; may be src):
// each pixel's grey (77 red + 150 green + 29 blue + 128) >> 8 is inverted and blurred with a
// Gaussian of radius pixels (limited to 0.5..500; the picture's border is repeated beyond it),
// and the result is put into all three colour channels. A fourth byte (alpha) is copied. Fails
// for bad pictures or a radius that is not finite.
int32_t ISE40_ContrastMaskImage(const void* src, uint32_t width, uint32_t height,
                                uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                                uint32_t dstRowBytes, double radius);

}  // namespace imaging
