#include "brush/shape_picture.h"

namespace brush {

bool BuildPictureShape(const char* name, int32_t angle, ShapeBuilder builder) { return false; }

}  // namespace brush
