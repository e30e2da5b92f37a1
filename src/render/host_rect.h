// A host buffer that holds a rectangle of the canvas, and the part of it that lies on the canvas.
#pragma once

#include <cstddef>
#include <cstdint>

namespace render {

// The host's buffer holds width x height RGBA64 pixels, rows width x 4 samples apart, for the
// canvas rectangle whose top-left corner is (x, y): canvas pixel (x + i, y + j) is buffer pixel
// j x width + i. Only canvas pixels left <= cx < right, top <= cy < bottom exist.
struct HostRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::ptrdiff_t stride = 0;  // samples

  bool OnCanvasEmpty() const { return left >= right || top >= bottom; }
  // The buffer position of canvas pixel (cx, cy).
  uint16_t* At(uint16_t* buffer, int32_t cx, int32_t cy) const {
    return buffer + std::ptrdiff_t{cy - y} * stride + 4 * std::ptrdiff_t{cx - x};
  }
};

// Describes the buffer for a rectangle of the canvas. False when the rectangle is empty (a side
// of 0 or less) or too large to address (a row longer than 2^31 - 1 samples, a buffer beyond the
// engine's plane limit).
bool MakeHostRect(int32_t x, int32_t y, int32_t width, int32_t height, HostRect& out);

}  // namespace render
