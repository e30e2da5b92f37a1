#include "imaging/resample.h"

#include <opencv2/imgproc.hpp>

#include <cstring>
#include <new>

#include "imaging/picture_checks.h"
#include "imaging/resample_kernels.h"
#include "imaging/resample_weights.h"
#include "imaging/separable_resample.h"

namespace imaging {
namespace {

bool ValidResizeArguments(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                          const void* dst, uint32_t newWidth, uint32_t newHeight,
                          uint32_t dstRowBytes, uint32_t bytesPerPixel) {
  return IsSupportedPixelSize(bytesPerPixel) &&
         IsUsablePicture(src, width, height, srcRowBytes, bytesPerPixel) &&
         IsUsablePicture(dst, newWidth, newHeight, dstRowBytes, bytesPerPixel);
}

void OpenCvResize(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes, void* dst,
                  uint32_t newWidth, uint32_t newHeight, uint32_t dstRowBytes,
                  uint32_t bytesPerPixel, int interpolation) {
  const int type = OpenCvPixelType(bytesPerPixel);
  const cv::Mat in(static_cast<int>(height), static_cast<int>(width), type, const_cast<void*>(src),
                   srcRowBytes);
  cv::Mat out(static_cast<int>(newHeight), static_cast<int>(newWidth), type, dst, dstRowBytes);
  cv::resize(in, out, out.size(), 0, 0, interpolation);
  // resize writes into out's own buffer as long as size and type match, which they do.
}

}  // namespace

int32_t is5_ResizeImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                        void* dst, uint32_t newWidth, uint32_t newHeight, uint32_t dstRowBytes,
                        uint32_t bytesPerPixel, uint32_t filter, uint32_t reserved) {
  if (!ValidResizeArguments(src, width, height, srcRowBytes, dst, newWidth, newHeight, dstRowBytes,
                            bytesPerPixel))
    return 0;
  const ResampleKernel* kernel = FindResampleKernel(filter);
  if (!kernel && filter != kFilterAreaAverage) return 0;
  try {
    const bool enlarging = newWidth >= width && newHeight >= height;
    if (filter == kFilterAreaAverage) {
      OpenCvResize(src, width, height, srcRowBytes, dst, newWidth, newHeight, dstRowBytes,
                   bytesPerPixel, cv::INTER_AREA);
      return 1;
    }
    if (enlarging && (filter == kFilterBicubic || filter == kFilterBilinear)) {
      OpenCvResize(src, width, height, srcRowBytes, dst, newWidth, newHeight, dstRowBytes,
                   bytesPerPixel, filter == kFilterBicubic ? cv::INTER_CUBIC : cv::INTER_LINEAR);
      return 1;
    }
    const AxisWeights columns = ComputeAxisWeights(*kernel, width, newWidth);
    const AxisWeights rows = ComputeAxisWeights(*kernel, height, newHeight);
    SeparableResample({static_cast<const uint8_t*>(src), width, height, srcRowBytes},
                      {static_cast<uint8_t*>(dst), newWidth, newHeight, dstRowBytes}, bytesPerPixel,
                      columns, rows);
    return 1;
  } catch (...) {  // memory or OpenCV failures: the caller sees 0
    return 0;
  }
}

int32_t IS3ResizeImageBicubic(const void* src, uint32_t width, uint32_t height,
                              uint32_t srcRowBytes, void* dst, uint32_t newWidth,
                              uint32_t newHeight, uint32_t dstRowBytes, uint32_t bytesPerPixel) {
  return is5_ResizeImage(src, width, height, srcRowBytes, dst, newWidth, newHeight, dstRowBytes,
                         bytesPerPixel, kFilterBicubic, 0);
}

int32_t IS3SimpleResampleImage(const void* src, uint32_t width, uint32_t height,
                               uint32_t srcRowBytes, void* dst, uint32_t newWidth,
                               uint32_t newHeight, uint32_t dstRowBytes, uint32_t bytesPerPixel) {
  if (!ValidResizeArguments(src, width, height, srcRowBytes, dst, newWidth, newHeight, dstRowBytes,
                            bytesPerPixel))
    return 0;
  try {
    const AxisWeights columns = ComputeNearestWeights(width, newWidth);
    const AxisWeights rows = ComputeNearestWeights(height, newHeight);
    auto* out = static_cast<uint8_t*>(dst);
    const auto* in = static_cast<const uint8_t*>(src);
    for (uint32_t y = 0; y < newHeight; ++y) {
      const uint8_t* sourceRow = in + static_cast<size_t>(rows.start[y]) * srcRowBytes;
      uint8_t* outRow = out + static_cast<size_t>(y) * dstRowBytes;
      for (uint32_t x = 0; x < newWidth; ++x)
        std::memcpy(outRow + static_cast<size_t>(x) * bytesPerPixel,
                    sourceRow + static_cast<size_t>(columns.start[x]) * bytesPerPixel,
                    bytesPerPixel);
    }
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // namespace imaging
