// The push warp: a brush-like local warp that moves the picture under one point to another.
#pragma once

#include <cstdint>

#include "imaging/shapes.h"

namespace imaging {

// dst receives src with the content around `from` pushed to `to`: every pixel within the reach of
// `to` samples src displaced back by the push, fully at `to` and fading smoothly to nothing at the
// reach's edge; pixels beyond it are copied. radius is the reach in pixels, 0 for twice the push's
// length (at least 8). strength is reserved (0: full). Both pictures are width x height, 4 bytes a
// pixel, rows of rowBytes. Colours are interpolated, so premultiplied pictures warp cleanly.
// Fails for bad pictures, src equal to dst, or other pixel sizes.
int32_t is5_PushImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                      uint32_t rowBytes, void* dst, uint32_t radius, uint32_t strength,
                      ImagePoint to, ImagePoint from, uint32_t reserved);

}  // namespace imaging
