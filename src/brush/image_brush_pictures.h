// The pictures of the image brush, owned by the brush room: the image brush itself, the strip of
// frames it can be chosen from, the copy sized to the brush and the turned copy.
#pragma once

#include <cstdint>

#include "engine/heap.h"

namespace brush {

struct Rgba64Picture {
  engine::OwnedPlane<uint16_t> pixels;  // width x height x 4 samples, rows packed
  int32_t width = 0;
  int32_t height = 0;

  explicit operator bool() const { return pixels != nullptr; }
};

// A new width x height picture (content undefined); std::bad_alloc when the heap refuses.
inline Rgba64Picture MakeRgba64Picture(int32_t width, int32_t height) {
  Rgba64Picture picture;
  picture.pixels = engine::MakeOwnedPlane<uint16_t>(engine::PlaneBytes(width, height, 4));
  picture.width = width;
  picture.height = height;
  return picture;
}

struct ImageBrushPictures {
  Rgba64Picture brush;
  Rgba64Picture strip;     // square frames of the strip's height side by side
  int32_t frameCount = 0;  // strip width / strip height
  Rgba64Picture sized;     // n x n, n the brush size when it was made
  // RGBA32, turnedSide x turnedSide each: the sized picture before the turn, and turned.
  engine::OwnedPlane<uint8_t> unturned;
  engine::OwnedPlane<uint8_t> turned;
  int32_t turnedSide = 0;
  bool unturnedCurrent = false;  // the unturned copy matches the sized picture
};

// The image brush pictures, empty when the library loads.
ImageBrushPictures& ImageBrushes();

}  // namespace brush
