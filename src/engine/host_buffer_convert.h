// Conversions between host buffers, with no layer involved.
#pragma once

#include <cstdint>

namespace engine {

// Converts an RGBA64 block into RGBA32 (or RGB24). src and dst point at the block's first pixel;
// x and y do not move them but say how many of its columns and rows are converted: width - x
// and height - y, counted from the block's start (a negative x or y counts as 0, so at most
// width x height). Returns 0 for a null buffer or rows too short for the columns converted,
// else 1.
int32_t GetRGBA32FromRGBA64Rect(void* dst, int32_t dstRowBytes, const void* src,
                                int32_t srcRowBytes, int32_t x, int32_t y, int32_t width,
                                int32_t height);
int32_t GetRGB24FromRGBA64Rect(void* dst, int32_t dstRowBytes, const void* src, int32_t srcRowBytes,
                               int32_t x, int32_t y, int32_t width, int32_t height);
// The width x height block at (0, 0).
int32_t GetRGBA32FromRGBA64(void* dst, int32_t dstRowBytes, int32_t width, int32_t height,
                            const void* src, int32_t srcRowBytes);
// A canvas-sized block into RGB24.
int32_t GetRGB24FromRGBA64(void* dst, int32_t dstRowBytes, const void* src, int32_t srcRowBytes);

// The width x height rectangle at (x, y) of src (rows of srcRowPixels pixels) into packed dst.
// Returns 0, converting nothing, for null buffers, an empty rectangle or one that leaves src's
// rows (x or y negative, x + width past srcRowPixels); else 1.
int32_t RGBA64RectToRGBA32(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t srcRowPixels, int32_t reserved, uint8_t* dst);
int32_t RGBA64RectToRGBA24(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t srcRowPixels, int32_t reserved, uint8_t* dst);

// Writes the high bytes of three 16-bit values at pixel (x, y) of a canvas-sized RGB24 buffer;
// nothing outside the canvas. Returns 1 when written, else 0.
int32_t SetPixelRGB24(void* dst, int32_t dstRowBytes, int32_t x, int32_t y, int32_t red16,
                      int32_t green16, int32_t blue16);

}  // namespace engine
