// Laying one picture onto another.
#pragma once

#include <cstdint>

namespace imaging {

inline constexpr uint32_t kOverlayCopy = 0;        // exact copy (blended by opacity when below 1)
inline constexpr uint32_t kOverlayAlphaBlend = 1;  // source laid over by its own alpha

// Lays the source picture (srcWidth x srcHeight) onto the destination with its top-left corner at
// (x, y); only the part inside the destination is written. bytesPerPixel is 1, 2, 3, 4 or 8; 2-
// and 8-byte pixels hold 16-bit samples. With flags 0 and opacity 1.0 (or more) the rectangle is
// copied exactly, the engine's way of moving pixels between planes; a lower opacity mixes each
// sample as dst + (src - dst) * opacity. With flag 1 four- and eight-byte pixels are blended by
// their alpha (the last sample) times the opacity, and the destination alpha becomes the union.
// Fails for null pointers, zero-sized pictures, unsupported pixel sizes and rows shorter than a
// picture row.
int32_t IS3OverlayImage(void* dst, uint32_t dstWidth, uint32_t dstHeight, uint32_t bytesPerPixel,
                        uint32_t dstRowBytes, const void* src, uint32_t srcWidth,
                        uint32_t srcHeight, uint32_t srcRowBytes, int32_t x, int32_t y,
                        double opacity, uint32_t flags);

// The same overlay with two further arguments that the engine passes as 0: a colour key and a
// reserved value, both ignored.
int32_t IS40_OverlayImage(void* dst, uint32_t dstWidth, uint32_t dstHeight, uint32_t bytesPerPixel,
                          uint32_t dstRowBytes, const void* src, uint32_t srcWidth,
                          uint32_t srcHeight, uint32_t srcRowBytes, int32_t x, int32_t y,
                          double opacity, uint32_t flags, uint32_t colourKey, uint32_t reserved);

}  // namespace imaging
