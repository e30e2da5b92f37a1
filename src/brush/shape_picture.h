// Picture brush shapes: the cached picture, its loading from a script or a file, its turn by the
// shape angle, and its resampling to the brush size. Private to the shape builders.
#pragma once

#include <cstdint>

namespace brush {

enum class ShapeBuilder {
  kCurrent,   // script first, then picture file; blur route; methods 15 / 8
  kOriginal,  // picture file only; no blur; methods 17 / 8
};

// Loads (or reuses) the picture named and writes its grey reading into the shape buffer. Returns
// false when no picture could be had or resampling failed; the caller then builds the circle.
bool BuildPictureShape(const char* name, int32_t angle, ShapeBuilder builder);

}  // namespace brush
