#include "imaging/polygon_warp.h"

#include <cmath>
#include <cstring>
#include <opencv2/imgproc.hpp>

#include "imaging/filter_frame.h"

namespace imaging {
namespace {

// The 3 x 3 map from source to destination positions (pixel centres at whole numbers), or an
// empty matrix when the points do not make one.
cv::Matx33d PointMap(const double* from, const double* to, uint32_t count, bool* ok) {
  cv::Point2f a[4], b[4];
  for (uint32_t i = 0; i < count; ++i) {
    // OpenCV puts pixel centres at whole numbers; ours are at whole numbers plus one half.
    a[i] = cv::Point2f(float(from[2 * i] - 0.5), float(from[2 * i + 1] - 0.5));
    b[i] = cv::Point2f(float(to[2 * i] - 0.5), float(to[2 * i + 1] - 0.5));
  }
  cv::Matx33d m = cv::Matx33d::eye();
  if (count == 4) {
    m = cv::Matx33d(cv::getPerspectiveTransform(a, b));
  } else {
    const cv::Matx23d affine(cv::getAffineTransform(a, b));
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 3; ++c) m(r, c) = affine(r, c);
  }
  const double det = cv::determinant(m);
  *ok = std::isfinite(det) && std::fabs(det) > 1e-12;
  return m;
}

// Twice the signed area of the triangle (p, q, r).
double Area2(const double* p, const double* q, const double* r) {
  return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0]);
}

// Points that span an area: every corner triangle of the polygon has one.
bool SpansArea(const double* pts, uint32_t count) {
  for (uint32_t i = 0; i < 2 * count; ++i)
    if (!std::isfinite(pts[i]) || std::fabs(pts[i]) > 1e7) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const double* p = pts + 2 * i;
    const double* q = pts + 2 * ((i + 1) % count);
    const double* r = pts + 2 * ((i + 2) % count);
    if (std::fabs(Area2(p, q, r)) < 1e-9) return false;
  }
  return true;
}

}  // namespace

int32_t is5_PolygonWarpImage(const void* src, uint32_t width, uint32_t height,
                             uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                             uint32_t dstRowBytes, const double* from, const double* to,
                             uint32_t pointCount, uint32_t quality, uint32_t flags) {
  (void)flags;
  PicturePair p;
  if ((pointCount != 3 && pointCount != 4) || quality > 1 || !from || !to || src == dst ||
      !MakePicturePair(src, width, height, bytesPerPixel, srcRowBytes, dst, dstRowBytes, &p) ||
      !SpansArea(from, pointCount) || !SpansArea(to, pointCount))
    return 0;
  try {
    bool ok = false;
    const cv::Matx33d forward = PointMap(from, to, pointCount, &ok);
    if (!ok) return 0;
    const cv::Matx33d back = forward.inv();
    cv::Mat warped;
    // Borders repeat so that pixels at the picture's edge interpolate against themselves; which
    // pixels take the warp at all is decided below.
    cv::warpPerspective(p.in, warped, cv::Mat(forward), p.in.size(),
                        quality == 0 ? cv::INTER_NEAREST : cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    const double right = width - 0.5, bottom = height - 0.5;
    // The side of the perspective's horizon the destination polygon lies on.
    const double side = back(2, 0) * (to[0] - 0.5) + back(2, 1) * (to[1] - 0.5) + back(2, 2) > 0 ? 1 : -1;
    ForEachRowBand(p.out.rows, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        const uint8_t* in = warped.ptr<uint8_t>(y);
        uint8_t* out = p.out.ptr<uint8_t>(y);
        for (int x = 0; x < p.out.cols; ++x) {
          const double w = back(2, 0) * x + back(2, 1) * y + back(2, 2);
          if (!(w * side > 0)) continue;  // beyond the horizon: nothing maps here
          const double sx = (back(0, 0) * x + back(0, 1) * y + back(0, 2)) / w;
          const double sy = (back(1, 0) * x + back(1, 1) * y + back(1, 2)) / w;
          if (sx < -0.5 || sy < -0.5 || sx >= right || sy >= bottom) continue;
          std::memcpy(out + size_t(x) * bytesPerPixel, in + size_t(x) * bytesPerPixel,
                      bytesPerPixel);
        }
      }
    });
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
