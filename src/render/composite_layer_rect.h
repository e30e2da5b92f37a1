// The one routine that composites a rectangle of one RGBA64 plane onto another with a merge mode.
#pragma once

#include <cstdint>

namespace render {

inline constexpr int32_t kClipFlagLayerMask = 42;  // clip flag that applies the clip pixels

// Composites source pixels (sourceX..sourceX+width, sourceY..sourceY+height) onto the destination
// with their top-left pixel at (destX, destY). Strides are in 16-bit samples. clipPixels (or null)
// is a "Layer Mask" layer laid over the source with the source's geometry and stride, applied when
// clipFlag is 42. opacity is 0..256. alphaLock keeps the destination alpha; sameAlphaMode is set
// when an alpha-mode layer merges into a layer of the same alpha mode. The caller guarantees that
// both rectangles lie inside their buffers. Null buffers and sides of 0 or less composite nothing;
// a mode outside 0..44 composites as Normal and an opacity below 0 as 0. Buffers that overlap
// are processed pixel by pixel in order (rows top to bottom, pixels left to right); others may be
// split into row bands that run in parallel, with the same result.
void CompositeLayerRect(const uint16_t* source, int32_t sourceX, int32_t sourceY, int32_t width,
                        int32_t height, int32_t sourceStride, const uint16_t* clipPixels,
                        uint16_t* destination, int32_t destX, int32_t destY, int32_t destStride,
                        int32_t mode, int32_t clipFlag, int32_t opacity, uint8_t alphaLock,
                        uint8_t sameAlphaMode);

}  // namespace render

namespace render {

// Test hook: true makes every composite take the plain reference loop instead of the fast path.
void ForceReferenceCompositeForTesting(bool on) noexcept;

}  // namespace render
