// Filled shapes drawn into pictures of 1, 3 or 4 bytes a pixel.
#pragma once

#include <cstdint>

namespace imaging {

// A point and a rectangle in picture pixels (right and bottom exclusive), laid out as the
// platform's POINT and RECT.
struct ImagePoint {
  int32_t x, y;
};
struct ImageRect {
  int32_t left, top, right, bottom;
};

// Colours are packed first byte | second << 8 | third << 16 | fourth << 24; a pixel takes as many
// bytes as it has.

// Fills the part of rect that lies inside the picture with colour. flags is reserved. Succeeds,
// drawing nothing, for a rectangle outside the picture; fails for a bad picture.
int32_t IS3FillSolidRect(void* image, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                         uint32_t rowBytes, ImageRect rect, uint32_t colour, uint32_t flags);

// As IS3FillSolidRect with filled 1; with filled 0 only the rectangle's one-pixel border is drawn.
// reserved is reserved.
int32_t IS3FillTransparentRectOnImage(void* image, uint32_t width, uint32_t height,
                                      uint32_t bytesPerPixel, uint32_t rowBytes, ImageRect rect,
                                      uint32_t colour, uint32_t filled, uint32_t reserved);

// Edge modes of IS3DrawEllipseOnImage.
inline constexpr uint32_t kEllipseSmoothEdge = 4;  // the edge pixels are blended by coverage
                                                   // any other value: hard, pixel-centre edge

// Draws the ellipse with the given centre and half-axes (radii) into the picture, clipped to it.
// filled 1 fills it, 0 draws its outline lineWidth pixels wide. reserved1 and reserved2 are
// reserved. Fails for a bad picture or a radius above the library's largest side.
int32_t IS3DrawEllipseOnImage(void* image, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                              uint32_t rowBytes, uint32_t colour, ImagePoint centre,
                              uint32_t radiusX, uint32_t radiusY, uint32_t filled,
                              uint32_t lineWidth, uint32_t reserved1, uint32_t reserved2,
                              uint32_t edgeMode);

}  // namespace imaging
