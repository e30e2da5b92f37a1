// The bitmaps the movie writer takes frames from: a BMP file loaded as a DIB section, or packed
// RGB24 pixels from the host turned into one.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/dib_section.h"

namespace io {

// A 24- or 32-bit BMP file loads as a DIB section of that depth (32-bit keeps its alpha byte);
// a BMP of another depth loads as a plain bitmap; anything else (no file, another type, a file
// that does not decode) gives null.
std::unique_ptr<platform::Bitmap> LoadBitmapFile(const char* path);

// Packed RGB24 rows (stride width x 3, top row first) as a bottom-up 24-bit DIB section. Null for
// null pixels or a size that is not positive or does not fit.
std::unique_ptr<platform::Bitmap> RGBToDibSection(const void* pixels, int32_t width,
                                                  int32_t height);

}  // namespace io
