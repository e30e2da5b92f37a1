// Grit windows from a texture: a picture script or a picture file read as grey and cut into the
// twenty windows. Private to PMR_SetTool.
#pragma once

namespace brush {

// Tries the name as a picture script (tiled over a 600 x 600 picture), then as a picture file.
// A name that is neither leaves the grit buffers as they were; memory failures skip the route.
void LoadTextureWindows(const char* name);

}  // namespace brush
