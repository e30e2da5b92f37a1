// Colour toning of a picture of 3 or 4 bytes a pixel (red first), in place; a fourth byte
// (alpha) stays. Colours are packed red | green << 8 | blue << 16. Each returns 1, or 0 for a bad
// picture or argument with nothing changed.
#pragma once

#include <cstdint>

namespace imaging {

// Colour balance: shifts towards red (against cyan), green (against magenta) and blue (against
// yellow), each -1..1, in one tonal range (0 shadows, 1 midtones, 2 highlights) weighted by the
// pixel's HSL lightness so that the other ranges are barely touched. With preserveLuminosity set
// each pixel's lightness is restored after the shift.
int32_t ISE40_AdjustImageColorBalance(void* pixels, uint32_t width, uint32_t height,
                                      uint32_t bytesPerPixel, uint32_t rowBytes, double cyanRed,
                                      double magentaGreen, double yellowBlue, uint32_t range,
                                      uint32_t preserveLuminosity);

// Duotone: the pixel's grey (the luma 0.299 R + 0.587 G + 0.114 B) is mapped onto a ramp from
// black through the colour (at mid grey) to white, then mixed with the original by amount 0..1.
int32_t ISE3DuotoneImage(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                         uint32_t rowBytes, uint32_t colour, double amount);

// Tint: gives each pixel the colour's hue while keeping its own luma (each sample becomes the
// pixel's luma plus the colour's sample minus the colour's luma), mixed with the original by
// amount 0..1.
int32_t ISE3AdjustTint(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t rowBytes, uint32_t colour, double amount);

// Threshold per channel: each colour sample at or above the threshold becomes 255, below it 0.
int32_t ISE3ThresholdFilter(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                            uint32_t rowBytes, uint32_t threshold);

// Despeckle: each sample becomes the median of its 3 x 3 neighbourhood (edges repeated), which
// removes isolated specks and keeps edges.
int32_t IS3DespeckleImage(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                          uint32_t rowBytes);

// Deinterlace: the rows of one field (the odd rows 1, 3, ... when keepOdd is 0, the even ones
// otherwise) are replaced by the rounded mean of the rows above and below; a replaced row at an
// edge copies its one neighbour. A picture of one row is left as it is.
int32_t IS3Deinterlace(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t rowBytes, uint32_t keepOdd);

}  // namespace imaging
