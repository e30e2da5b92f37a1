// The pixel formats that cross the interface and the conversions between them. Every part of the
// engine converts through these: 16 to 8 bits takes the high byte (no rounding), 8 to 16 bits
// multiplies by 256 (255 becomes 65280), so a round trip through 8 bits clears the low byte.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/store_policy.h"

namespace engine {

inline constexpr uint8_t High8(uint16_t sample) { return static_cast<uint8_t>(sample >> 8); }
inline constexpr uint16_t Widen8(uint8_t byte) { return static_cast<uint16_t>(byte << 8); }

// Row kernels over `pixels` packed pixels. Source and destination must not overlap.
void RowRGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, std::size_t pixels,
                       Stores stores = Stores::kCached);
void RowRGBA64ToRGB24(const uint16_t* src, uint8_t* dst, std::size_t pixels,
                      Stores stores = Stores::kCached);
void RowRGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, std::size_t pixels,
                       Stores stores = Stores::kCached);
// Grey from alpha: red = green = blue = high byte of alpha.
void RowAlphaToGrey24(const uint16_t* src, uint8_t* dst, std::size_t pixels,
                      Stores stores = Stores::kCached);
// The plain load of RGBA32 into RGBA64: a pixel of alpha 0 becomes (0, 0, 0, 0), any other
// every byte x 256.
void RowLoadRGBA32(const uint8_t* src, uint16_t* dst, std::size_t pixels,
                   Stores stores = Stores::kCached);
// The plain load into an alpha-locked layer: the colour bytes x 256, the layer's alpha kept.
void RowLoadRGBA32Colour(const uint8_t* src, uint16_t* dst, std::size_t pixels,
                         Stores stores = Stores::kCached);
// Loads of 3-byte host pixels: the colour bytes x 256 with the layer's alpha kept; the first
// byte x 256 into the alpha of pixels whose alpha is not 0 (transparent ones stay so); and
// blue-green-red bytes into (r, g, b) x 256 with alpha 65535.
void RowLoadRGB24Colour(const uint8_t* src, uint16_t* dst, std::size_t pixels,
                        Stores stores = Stores::kCached);
void RowLoadRGB24Alpha(const uint8_t* src, uint16_t* dst, std::size_t pixels,
                       Stores stores = Stores::kCached);
void RowLoadBGR24(const uint8_t* src, uint16_t* dst, std::size_t pixels,
                  Stores stores = Stores::kCached);

// A plain copy of `bytes` bytes, streamed past the cache when asked (the whole-plane 16-bit
// transfers write far more than the cache holds). Source and destination must not overlap.
void CopyRow(void* dst, const void* src, std::size_t bytes, Stores stores = Stores::kCached);

// Packed width x height conversions; nothing happens for null buffers or non-positive sizes.
void RGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, int32_t width, int32_t height);
void RGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t width, int32_t height);
// Sets every alpha byte of a packed width x height RGBA32 buffer to value.
void FillAlphaRGBA32(uint8_t* buffer, int32_t width, int32_t height, uint8_t value);

}  // namespace engine
