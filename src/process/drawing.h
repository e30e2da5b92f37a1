// Drawing into the current layer: filled rectangles, ellipses and colour gradients drawn by the
// library into the destination buffer and composited through the mask and the texture; the push
// warp; and the blur of a host's RGB24 buffer.
#pragma once

#include <cstdint>

namespace process {

// The shape spans columns x0..x1-1 when x0 < x1, else x1+1..x0, and rows min(y0, y1)..max(y0, y1);
// it is composited Normal at trunc(opacity x 2.559) (opacity a percent 0..100) within the layer's
// alpha lock. The ellipse fills the shape's box (half-axes at least 2) with a smooth edge.
void DrawRectangle(int32_t red, int32_t green, int32_t blue, int32_t x0, int32_t y0, int32_t x1,
                   int32_t y1, int32_t opacity);
void DrawEllipse(int32_t red, int32_t green, int32_t blue, int32_t x0, int32_t y0, int32_t x1,
                 int32_t y1, int32_t opacity);

// A gradient of colourCount colours (rgb[k] = red, green, blue of colour k + 1) from (x0, y0) to
// (x1, y1): "Linear" (exactly) along the line, any other kind radially around (x0, y0) out to
// (x1, y1). Counts 2..4 place their colours evenly at k x trunc(100 / (n - 1)) percent, opaque;
// count 0 fades colour 1 in from transparent, count 1 fades it out.
void DrawGradient(const int32_t rgb[4][3], int32_t colourCount, int32_t x0, int32_t y0, int32_t x1,
                  int32_t y1, const char* kind);

// Pushes the picture under (x0, y0) to (x1, y1): the source buffer 32 (premultiplied in place, not
// refreshed) warped into the destination buffer 32, which is written into the current layer
// through the mask and the texture. Needs both buffers.
void WarpPointToPoint(int32_t x0, int32_t y0, int32_t x1, int32_t y1);

// Blurs a host RGB24 buffer of width x height packed pixels in place: radius radiusAmount / 5,
// blended in by strength percent.
void BlurMoreBufferRGB24(uint8_t* buffer, int32_t width, int32_t height, int32_t radiusAmount,
                         int32_t strength);

}  // namespace process
