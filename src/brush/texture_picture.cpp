#include "brush/texture_picture.h"

namespace brush {

// Texture pictures come from the imaging library's script runner and picture readers, which this
// build of the library does not have: no name loads, and the grit buffers stay as they were.
// CutGritWindowsFromPicture (grit_windows.h) cuts the windows once a grey picture is read.
void LoadTextureWindows(const char* name) {}

}  // namespace brush
