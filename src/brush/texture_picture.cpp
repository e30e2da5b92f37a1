#include "brush/texture_picture.h"

namespace brush {

void LoadTextureWindows(const char* name) {}

}  // namespace brush
