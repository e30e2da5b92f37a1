// The view settings the renderer reads: zoom, view size, offset and the display flags.
#pragma once

#include <cstdint>

namespace render {

// Each stores its arguments unchanged and returns the first.
int32_t SetScale(int32_t replication, float step);
int32_t SetViewSize(int32_t width, int32_t height);
int32_t SetOffset(int32_t x, int32_t y);
int32_t SetTracingMode(int32_t on);
int32_t DisplayMask(int32_t on);
int32_t EnableMask(int32_t on);

}  // namespace render
