#include "imaging/shapes.h"

#include <algorithm>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "imaging/picture_args.h"

namespace imaging {

namespace {

cv::Scalar ScalarFromPacked(uint32_t colour) {
  return cv::Scalar(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF, colour >> 24);
}

}  // namespace

int32_t IS3FillSolidRect(void* image, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                         uint32_t rowBytes, ImageRect rect, uint32_t colour, uint32_t flags) {
  if (!IsDrawablePicture(image, width, height, rowBytes, bytesPerPixel)) return 0;
  try {
    cv::Mat picture = WrapPicture(image, width, height, bytesPerPixel, rowBytes);
    const int32_t left = std::max(rect.left, 0), top = std::max(rect.top, 0);
    const int32_t right = std::min<int64_t>(rect.right, width);
    const int32_t bottom = std::min<int64_t>(rect.bottom, height);
    if (left >= right || top >= bottom) return 1;
    picture(cv::Rect(left, top, right - left, bottom - top)).setTo(ScalarFromPacked(colour));
    return 1;
  } catch (...) {
    return 0;
  }
}

int32_t IS3FillTransparentRectOnImage(void* image, uint32_t width, uint32_t height,
                                      uint32_t bytesPerPixel, uint32_t rowBytes, ImageRect rect,
                                      uint32_t colour, uint32_t filled, uint32_t /*reserved*/) {
  if (filled)
    return IS3FillSolidRect(image, width, height, bytesPerPixel, rowBytes, rect, colour, 0);
  if (!IsDrawablePicture(image, width, height, rowBytes, bytesPerPixel)) return 0;
  if (rect.left >= rect.right || rect.top >= rect.bottom) return 1;
  // The four one-pixel sides, each clipped to the picture.
  const ImageRect sides[] = {{rect.left, rect.top, rect.right, rect.top + 1},
                             {rect.left, rect.bottom - 1, rect.right, rect.bottom},
                             {rect.left, rect.top, rect.left + 1, rect.bottom},
                             {rect.right - 1, rect.top, rect.right, rect.bottom}};
  for (const ImageRect& side : sides) {
    if (!IS3FillSolidRect(image, width, height, bytesPerPixel, rowBytes, side, colour, 0)) return 0;
  }
  return 1;
}

int32_t IS3DrawEllipseOnImage(void* image, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                              uint32_t rowBytes, uint32_t colour, ImagePoint centre,
                              uint32_t radiusX, uint32_t radiusY, uint32_t filled,
                              uint32_t lineWidth, uint32_t reserved1, uint32_t reserved2,
                              uint32_t edgeMode) {
  if (!IsDrawablePicture(image, width, height, rowBytes, bytesPerPixel)) return 0;
  if (radiusX > kMaxDrawSide || radiusY > kMaxDrawSide) return 0;
  // A centre far outside the picture cannot reach it and would overflow the rasteriser.
  const int64_t reachX = int64_t{radiusX} + lineWidth, reachY = int64_t{radiusY} + lineWidth;
  if (centre.x + reachX < 0 || centre.y + reachY < 0 || centre.x - reachX >= int64_t{width} ||
      centre.y - reachY >= int64_t{height})
    return 1;
  try {
    cv::Mat picture = WrapPicture(image, width, height, bytesPerPixel, rowBytes);
    const int thickness = filled ? cv::FILLED : static_cast<int>(std::clamp(lineWidth, 1u, 1024u));
    const int lineType = edgeMode == kEllipseSmoothEdge ? cv::LINE_AA : cv::LINE_8;
    cv::ellipse(picture, cv::Point(centre.x, centre.y),
                cv::Size(static_cast<int>(radiusX), static_cast<int>(radiusY)), 0, 0, 360,
                ScalarFromPacked(colour), thickness, lineType);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
