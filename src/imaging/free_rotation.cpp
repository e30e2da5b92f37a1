#include <opencv2/imgproc.hpp>

#include <cmath>
#include <numbers>

#include "imaging/geometry.h"
#include "imaging/picture_checks.h"

namespace imaging {
namespace {

// Sizes within 1/1000 of a whole number are taken as that number: the float angle of a quarter
// turn leaves a cosine of about 1e-8 that would otherwise add a pixel.
uint32_t BoxSide(double extent) {
  const double nearest = std::round(extent);
  return static_cast<uint32_t>(std::fabs(extent - nearest) < 1e-3 ? nearest : std::ceil(extent));
}

// Cosine and sine with quarter turns made exact, so that such turns move pixels exactly.
void ExactCosSin(double radians, double& c, double& s) {
  const double quarters = radians / (std::numbers::pi / 2);
  const double whole = std::round(quarters);
  if (std::fabs(quarters - whole) < 1e-6) {
    static constexpr double kCos[] = {1, 0, -1, 0}, kSin[] = {0, 1, 0, -1};
    const int q = static_cast<int>(((static_cast<int64_t>(whole) % 4) + 4) % 4);
    c = kCos[q];
    s = kSin[q];
  } else {
    c = std::cos(radians);
    s = std::sin(radians);
  }
}

cv::Scalar Background(uint32_t packed, uint32_t bytesPerPixel) {
  const double scale = bytesPerPixel == 8 ? 257.0 : 1.0;
  return cv::Scalar((packed & 0xFF) * scale, ((packed >> 8) & 0xFF) * scale,
                    ((packed >> 16) & 0xFF) * scale, (packed >> 24) * scale);
}

// Maps every destination pixel back into the source: the picture turns anticlockwise as seen
// with rows running down, so source = R^T (dst - dstCentre) / zoom + srcCentre with
// R = [cos sin; -sin cos].
int32_t TurnInto(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                 uint32_t srcRowBytes, void* dst, uint32_t outWidth, uint32_t outHeight,
                 uint32_t dstRowBytes, double radians, double zoom, uint32_t background,
                 uint32_t quality) {
  if (!dst || !IsSupportedPixelSize(bytesPerPixel) || quality > kRotateBicubic ||
      !IsUsablePicture(src, width, height, srcRowBytes, bytesPerPixel) ||
      !IsUsablePicture(dst, outWidth, outHeight, dstRowBytes, bytesPerPixel) || !(zoom > 0.0) ||
      !std::isfinite(radians))
    return 0;
  double c, s;
  ExactCosSin(radians, c, s);
  const double srcCx = (width - 1) / 2.0, srcCy = (height - 1) / 2.0;
  const double dstCx = (outWidth - 1) / 2.0, dstCy = (outHeight - 1) / 2.0;
  const double m[6] = {c / zoom, -s / zoom, srcCx - (c * dstCx - s * dstCy) / zoom,
                       s / zoom, c / zoom,  srcCy - (s * dstCx + c * dstCy) / zoom};
  // A pure quarter turn whose pixel centres land on pixel centres is a copy: nearest is exact.
  const bool exactMove =
      zoom == 1.0 && (c == 0.0 || s == 0.0) && m[2] == std::round(m[2]) && m[5] == std::round(m[5]);
  static constexpr int kInterpolation[] = {cv::INTER_NEAREST, cv::INTER_LINEAR, cv::INTER_CUBIC};
  try {
    const int type = OpenCvPixelType(bytesPerPixel);
    const cv::Mat in(static_cast<int>(height), static_cast<int>(width), type,
                     const_cast<void*>(src), srcRowBytes);
    cv::Mat out(static_cast<int>(outHeight), static_cast<int>(outWidth), type, dst, dstRowBytes);
    const cv::Mat map(2, 3, CV_64F, const_cast<double*>(m));
    cv::warpAffine(in, out, map, out.size(),
                   (exactMove ? cv::INTER_NEAREST : kInterpolation[quality]) | cv::WARP_INVERSE_MAP,
                   cv::BORDER_CONSTANT, Background(background, bytesPerPixel));
    return out.data == dst ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace

int32_t is5_GetRotatedPixelSize(float radians, uint32_t width, uint32_t height, uint32_t* outWidth,
                                uint32_t* outHeight) {
  if (!outWidth || !outHeight || width == 0 || height == 0 || width > kMaxPictureSide ||
      height > kMaxPictureSide || !std::isfinite(radians))
    return 0;
  double c, s;
  ExactCosSin(radians, c, s);
  const uint32_t w = BoxSide(std::fabs(width * c) + std::fabs(height * s));
  const uint32_t h = BoxSide(std::fabs(width * s) + std::fabs(height * c));
  if (w == 0 || h == 0 || w > kMaxPictureSide || h > kMaxPictureSide) return 0;
  *outWidth = w;
  *outHeight = h;
  return 1;
}

int32_t is5_RotateImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t background,
                        uint32_t flags, float radians, uint32_t quality) {
  uint32_t outWidth = 0, outHeight = 0;
  if (!is5_GetRotatedPixelSize(radians, width, height, &outWidth, &outHeight)) return 0;
  return TurnInto(src, width, height, bytesPerPixel, srcRowBytes, dst, outWidth, outHeight,
                  dstRowBytes, radians, 1.0, background, quality);
}

int32_t RotateInFrame(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                      uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double degrees,
                      double zoom, uint32_t background, uint32_t quality) {
  return TurnInto(src, width, height, bytesPerPixel, srcRowBytes, dst, width, height, dstRowBytes,
                  degrees * std::numbers::pi / 180.0, zoom, background, quality);
}

}  // namespace imaging
