#include "imaging/polygon_warp.h"

#include <cmath>
#include <cstring>
#include <opencv2/imgproc.hpp>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/filter_frame.h"
#include "imaging/warp_sampler.h"

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

// The source positions of one destination row and of the row below (for the sampler's
// footprint), in pixel-centre coordinates, and which pixels of the row take the warp: those in
// front of the perspective's horizon whose position lands inside the source picture.
class BackMappedRows {
 public:
  BackMappedRows(const cv::Matx33d& back, double side, uint32_t width, uint32_t height)
      : back_(back),
        side_(side),
        width_(width),
        right_(width - 0.5),
        bottom_(height - 0.5),
        store_(size_t{width} * 4),
        flags_(width) {
    xs = store_.data(), ys = xs + width, xsBelow = ys + width, ysBelow = xsBelow + width;
    inside = flags_.data();
  }

  void Map(int y, bool withBelow) {
    MapRow(y, xs, ys, inside);
    if (withBelow) MapRow(y + 1, xsBelow, ysBelow, nullptr);
  }

  double *xs, *ys, *xsBelow, *ysBelow;
  uint8_t* inside;

 private:
  // The map works with pixel centres at whole numbers, the sampler at whole numbers plus one half.
  void MapRow(int y, double* rowXs, double* rowYs, uint8_t* flags) const {
    const cv::Matx33d& m = back_;
    const double x0 = m(0, 1) * y + m(0, 2), y0 = m(1, 1) * y + m(1, 2), w0 = m(2, 1) * y + m(2, 2);
    uint32_t x = 0;
#if defined(__SSE2__)
    // Two pixels at a time, the same operations as the loop below.
    const __m128d a = _mm_set1_pd(m(0, 0)), b = _mm_set1_pd(m(1, 0)), c = _mm_set1_pd(m(2, 0));
    const __m128d ax = _mm_set1_pd(x0), by = _mm_set1_pd(y0), cw = _mm_set1_pd(w0),
                  half = _mm_set1_pd(0.5), minus = _mm_set1_pd(-0.5), zero = _mm_setzero_pd(),
                  right = _mm_set1_pd(right_), bottom = _mm_set1_pd(bottom_),
                  side = _mm_set1_pd(side_);
    __m128d at = _mm_set_pd(1, 0);
    for (; x + 2 <= width_; x += 2, at = _mm_add_pd(at, _mm_set1_pd(2))) {
      const __m128d w = _mm_add_pd(_mm_mul_pd(c, at), cw);
      const __m128d sx = _mm_div_pd(_mm_add_pd(_mm_mul_pd(a, at), ax), w);
      const __m128d sy = _mm_div_pd(_mm_add_pd(_mm_mul_pd(b, at), by), w);
      _mm_storeu_pd(rowXs + x, _mm_add_pd(sx, half));
      _mm_storeu_pd(rowYs + x, _mm_add_pd(sy, half));
      if (flags) {
        const __m128d in =
            _mm_and_pd(_mm_and_pd(_mm_cmpgt_pd(_mm_mul_pd(w, side), zero),
                                  _mm_and_pd(_mm_cmpge_pd(sx, minus), _mm_cmpge_pd(sy, minus))),
                       _mm_and_pd(_mm_cmplt_pd(sx, right), _mm_cmplt_pd(sy, bottom)));
        const int mask = _mm_movemask_pd(in);
        flags[x] = mask & 1, flags[x + 1] = mask >> 1;
      }
    }
#endif
    for (; x < width_; ++x) {
      const double w = m(2, 0) * x + w0;
      const double sx = (m(0, 0) * x + x0) / w, sy = (m(1, 0) * x + y0) / w;
      rowXs[x] = sx + 0.5, rowYs[x] = sy + 0.5;
      // Beyond the horizon nothing maps here.
      if (flags)
        flags[x] = w * side_ > 0 && sx >= -0.5 && sy >= -0.5 && sx < right_ && sy < bottom_;
    }
  }

  cv::Matx33d back_;
  double side_;
  uint32_t width_;
  double right_, bottom_;
  std::vector<double> store_;
  std::vector<uint8_t> flags_;
};

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
    // Borders repeat so that pixels at the picture's edge interpolate against themselves; which
    // pixels take the warp at all is decided per pixel below.
    // dst is written while src is read: a source that shares bytes with it is read from a copy.
    const cv::Mat in = Apart(p.in, p.out) ? p.in : p.in.clone();
    const WarpSource source{in.ptr<uint8_t>(0),  width, height, bytesPerPixel, uint32_t(in.step[0]),
                            WarpSource::kRepeat, {}};
    // The side of the perspective's horizon the destination polygon lies on.
    const double side =
        back(2, 0) * (to[0] - 0.5) + back(2, 1) * (to[1] - 0.5) + back(2, 2) > 0 ? 1 : -1;
    ForEachRowBand(p.out.rows, [&](int begin, int end) {
      BackMappedRows rows(back, side, width, height);
      for (int y = begin; y < end; ++y) {
        rows.Map(y, quality != 0);
        uint8_t* out = p.out.ptr<uint8_t>(y);
        // Runs of pixels that map inside the source, each sampled straight into dst.
        for (uint32_t x = 0; x < width;) {
          if (!rows.inside[x]) {
            ++x;
            continue;
          }
          uint32_t runEnd = x + 1;
          while (runEnd < width && rows.inside[runEnd]) ++runEnd;
          const MappedRow run{rows.xs + x, rows.ys + x, rows.xsBelow + x, rows.ysBelow + x};
          SampleMappedRow(source, run, runEnd - x, quality, out + size_t(x) * bytesPerPixel);
          x = runEnd;
        }
      }
    });
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
