#include "imaging/push_warp.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "imaging/picture_args.h"

namespace imaging {

int32_t is5_PushImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                      uint32_t rowBytes, void* dst, uint32_t radius, uint32_t /*strength*/,
                      ImagePoint to, ImagePoint from, uint32_t /*reserved*/) {
  if (bytesPerPixel != 4 || !IsDrawablePicture(src, width, height, rowBytes, 4) || !dst ||
      src == dst)
    return 0;
  try {
    const cv::Mat source = WrapPicture(src, width, height, 4, rowBytes);
    cv::Mat target = WrapPicture(dst, width, height, 4, rowBytes);
    const double pushX = double(to.x) - from.x, pushY = double(to.y) - from.y;
    const double reach =
        radius > 0 ? double(radius) : std::max(8.0, 2.0 * std::hypot(pushX, pushY));
    // Map of where each pixel samples from: itself, less the push weighted by (1 - r^2)^2 of its
    // distance r (in reaches) from the push's end.
    cv::Mat mapX(int(height), int(width), CV_32FC1), mapY(int(height), int(width), CV_32FC1);
    for (int y = 0; y < int(height); ++y) {
      float* mx = mapX.ptr<float>(y);
      float* my = mapY.ptr<float>(y);
      const double ry = (double(y) - to.y) / reach;
      for (int x = 0; x < int(width); ++x) {
        const double rx = (double(x) - to.x) / reach;
        const double r2 = rx * rx + ry * ry;
        const double w = r2 < 1.0 ? (1.0 - r2) * (1.0 - r2) : 0.0;
        mx[x] = float(x - pushX * w);
        my[x] = float(y - pushY * w);
      }
    }
    cv::Mat warped;
    cv::remap(source, warped, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    warped.copyTo(target);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
