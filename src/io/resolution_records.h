// The resolution records the writers store: both values set to the same number, in the unit the
// format keeps. A dpi of 0 or less stores zeros.
#pragma once

#include <cstdint>

#include "imaging/file_handles.h"

namespace io {

// Pixels per metre: dpi x 39.3700787, truncated toward zero.
inline uint32_t PixelsPerMetre(int32_t dpi) {
  return dpi > 0 ? uint32_t(double(dpi) * 39.3700787) : 0;
}
inline uint32_t Dots(int32_t dpi) { return dpi > 0 ? uint32_t(dpi) : 0; }

// BMP: pixels per metre (unit 0). PNG: pixels per metre (unit 1). JPEG: dots per inch (unit 1).
// TIFF: dots per inch (unit 2).
inline imaging::ISResolution BmpResolution(int32_t dpi) {
  return {PixelsPerMetre(dpi), PixelsPerMetre(dpi), 0};
}
inline imaging::ISResolution PngResolution(int32_t dpi) {
  return {PixelsPerMetre(dpi), PixelsPerMetre(dpi), 1};
}
inline imaging::ISResolution JpegResolution(int32_t dpi) { return {Dots(dpi), Dots(dpi), 1}; }
inline imaging::ISResolution TiffResolution(int32_t dpi) { return {Dots(dpi), Dots(dpi), 2}; }

}  // namespace io
