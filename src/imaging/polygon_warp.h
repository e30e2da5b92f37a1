// Polygon warps: the quadrilateral (or triangle) through four (three) source points drawn onto
// the one through as many destination points, by the perspective (affine) map between them.
#pragma once

#include <cstdint>

namespace imaging {

// from and to each hold pointCount (x, y) pairs in pixel coordinates, where pixel (i, j) covers
// [i, i + 1) x [j, j + 1); pointCount is 4 (a perspective map) or 3 (an affine map). Every dst
// pixel whose position maps back inside the source picture is drawn from it (quality 0 the
// nearest pixel, 1 bilinear, averaging each pixel's footprint where the map shrinks); the others
// keep what dst held, so a caller clears dst to its background first. Fails, writing nothing, for
// bad pictures, src and dst the same, non-finite points or points that span no area (three in a
// line).
int32_t is5_PolygonWarpImage(const void* src, uint32_t width, uint32_t height,
                             uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                             uint32_t dstRowBytes, const double* from, const double* to,
                             uint32_t pointCount, uint32_t quality, uint32_t flags);

}  // namespace imaging
