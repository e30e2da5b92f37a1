// The reading steps shared by every file reader: open, guess the type, decode.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace io {

// A picture as the library hands it back: metafiles come as RGB24, every other type as RGBA32.
struct DecodedPicture {
  uint8_t* pixels = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  bool rgb24 = false;
  DecodedPicture() = default;
  DecodedPicture(const DecodedPicture&) = delete;
  DecodedPicture& operator=(const DecodedPicture&) = delete;
  ~DecodedPicture() { std::free(pixels); }
};

// Opens path, guesses its type and decodes it; metafiles are rendered at the canvas size over the
// current colour. Leaves block empty when the file cannot be opened or decoded.
void ReadPicture(const char* path, DecodedPicture& block);

}  // namespace io
