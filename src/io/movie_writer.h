// The movie writer: one open AVI movie at a time, fed frame by frame from bitmaps.
#pragma once

#include <cstdint>

#include "platform/avi_file.h"
#include "platform/dib_section.h"

namespace io {

struct MovieWriter {
  platform::AviFile* file = nullptr;
  uint32_t headerCopy[4] = {};  // from an optional caller structure; always zero here
  uint16_t headerCopyFlags = 0;
  int32_t period = 0;                          // milliseconds a frame
  platform::AviStream* spareStream = nullptr;  // never created
  platform::AviStream* rawStream = nullptr;
  platform::AviStream* compressedStream = nullptr;
  int32_t frameCount = 0;  // index of the next frame
  uint8_t failed = 0;      // sticky: set by the first error
};

// Opens path for a new movie of one frame every period milliseconds and makes it the current one.
// A movie still open is finished first. Null (and no file) for a null path, a period below 1 or a
// file that cannot be created.
MovieWriter* CreateAVI(const char* path, int32_t period);
// Add one frame from a BMP file / from packed RGB24 pixels; nothing when no movie is open.
void WriteAVI(const char* bitmapPath);
void WriteAVI_RGB24(const void* pixels, int32_t width, int32_t height);
// Finishes and closes the current movie; 0 always. A movie that failed or holds no frame leaves
// no file.
int32_t CloseAVI();

// The two steps every frame passes, with the platform's AVI result codes.
uint32_t AviOptionsStep(MovieWriter* movie, const platform::Bitmap* bitmap);
uint32_t AviFrameStep(MovieWriter* movie, const platform::Bitmap* bitmap);

}  // namespace io
