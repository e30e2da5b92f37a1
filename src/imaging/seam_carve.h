// Content-aware resizing: seam carving.
#pragma once

#include <cstdint>

namespace imaging {

// Narrows or widens a picture by |deltaWidth| columns without scaling what matters in it. A seam
// is a path of one pixel per row, each step moving at most one column; the seam with the least
// energy (gradient of the grey picture, |dL/dx| + |dL/dy|) is removed, or, when widening, the
// seams that removal would take first are doubled.
//
// protect (G16, protectRowLength samples a row, or null) steers the seams: with flags bit 0 set a
// sample of 65535 lets a pixel go and 0 protects it fully (the engine's mask convention); with
// bit 0 clear the map is read the other way round. A fully protected pixel adds
// protectWeight x 64 to its energy.
//
// dst receives height rows of width + deltaWidth pixels (rows dstRowBytes apart). bytesPerPixel is
// 1, 3 or 4. Fails, writing nothing, when the new width is below 1 or too large, on bad pictures,
// or when CancelRequested() turns true between two seams.
int32_t ISE40_SeamCarve(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t srcRowBytes, const uint16_t* protect, uint32_t protectRowLength,
                        void* dst, uint32_t dstRowBytes, int32_t deltaWidth, uint32_t protectWeight,
                        uint32_t flags);

}  // namespace imaging
