// In-place hue, saturation and lightness (or value) shifts of an RGBA32 buffer.
#pragma once

#include <cstdint>

namespace process {

// Shifts every pixel of a tightly packed width x height RGBA32 buffer: hue by hueShift degrees,
// saturation and lightness by their shifts in percent; alpha stays. Returns the row length in
// bytes of the last row processed (width x 4), or 0 when nothing was processed (null buffer,
// empty size).
int32_t ProcessBuffer_HSLAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hueShift,
                                int32_t saturationShift, int32_t lightnessShift);
// The same in HSV, with value in place of lightness; greys stay grey.
int32_t ProcessBuffer_HSVAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hueShift,
                                int32_t saturationShift, int32_t valueShift);

}  // namespace process
