#include "brush/shape_picture.h"

namespace brush {

// Picture shapes come from the imaging library's picture readers, its script runner (which also
// turns the picture, effect 51) and its resampler. This build of the library has none of them, so
// no name yields a picture and the builders draw the circle.
bool BuildPictureShape(const char* name, int32_t angle, ShapeBuilder builder) { return false; }

}  // namespace brush
