// Pictures that brush shapes and textures are made from: a picture script painted by the script
// runner, or a picture file read by the picture readers. Both give RGBA32 (red first) in an engine
// plane. Private to the brush folder.
#pragma once

#include <cstdint>

#include "engine/heap.h"

namespace brush {

struct RgbaPicture {
  engine::OwnedPlane<uint8_t> pixels;  // width x height x 4 bytes, rows packed
  int32_t width = 0;
  int32_t height = 0;

  explicit operator bool() const { return pixels != nullptr; }
};

// Runs the name as a picture script. Returns false when the script runner does not start or does
// not take the name as a script; true when it does, and then *picture holds the painted picture,
// or stays empty when the script could not be run. The runner's session is finished in every
// case. Pictures the engine heap cannot hold throw std::bad_alloc, here and below.
bool PaintScriptPicture(const char* name, RgbaPicture* picture);

// Reads the name as a picture file. Empty when it cannot be opened or read.
RgbaPicture ReadPictureFile(const char* name);

// Turns the picture in place about its centre by angle degrees (anticlockwise as seen), at its
// own size, through the script runner's turn effect. A runner that does not start or refuses the
// picture leaves it as it was.
void TurnPicture(const RgbaPicture& picture, int32_t angle);
// The same for a width x height RGBA32 picture with packed rows: true when the runner turned it.
bool TurnPixels(uint8_t* pixels, int32_t width, int32_t height, int32_t angle);

}  // namespace brush
