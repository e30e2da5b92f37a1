#include "imaging/thumbnail_resize.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <new>

namespace imaging {
namespace {

bool ValidPicture(const void* p, uint32_t w, uint32_t h, uint32_t rowBytes, uint32_t bpp) {
  return p && w > 0 && h > 0 && w <= INT32_MAX / 4 && h <= INT32_MAX &&
         uint64_t{rowBytes} >= uint64_t{w} * bpp;
}

int32_t Scale(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes, void* dst,
              uint32_t dstWidth, uint32_t dstHeight, uint32_t dstRowBytes, uint32_t bpp,
              int interpolation) {
  if (bpp != 1 && bpp != 3 && bpp != 4) return 0;
  if (!ValidPicture(src, width, height, srcRowBytes, bpp) ||
      !ValidPicture(dst, dstWidth, dstHeight, dstRowBytes, bpp)) {
    return 0;
  }
  try {
    const int type = CV_8UC(int(bpp));
    const cv::Mat in(int(height), int(width), type, const_cast<void*>(src), srcRowBytes);
    cv::Mat out(int(dstHeight), int(dstWidth), type, dst, dstRowBytes);
    // Writes straight into the caller's rows: out keeps its size and type, so no reallocation.
    cv::resize(in, out, out.size(), 0, 0, interpolation);
    return out.data == dst ? 1 : 0;
  } catch (const cv::Exception&) {
    return 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // namespace

int32_t IS3DecimateImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                         void* dst, uint32_t dstWidth, uint32_t dstHeight, uint32_t dstRowBytes,
                         uint32_t bytesPerPixel, uint32_t mode) {
  if (mode != 1 || dstWidth > width || dstHeight > height) return 0;
  return Scale(src, width, height, srcRowBytes, dst, dstWidth, dstHeight, dstRowBytes,
               bytesPerPixel, cv::INTER_AREA);
}

int32_t IS3ResizeImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                       void* dst, uint32_t dstWidth, uint32_t dstHeight, uint32_t dstRowBytes,
                       uint32_t bytesPerPixel) {
  const bool shrinks = dstWidth <= width && dstHeight <= height;
  return Scale(src, width, height, srcRowBytes, dst, dstWidth, dstHeight, dstRowBytes,
               bytesPerPixel, shrinks ? cv::INTER_AREA : cv::INTER_LINEAR);
}

int32_t IS3SplitRGBAToRGBPlusA(const void* rgba, uint32_t width, uint32_t height, void* rgb,
                               void* alpha) {
  if (!rgba || !rgb || width == 0 || height == 0 || uint64_t{width} * height > INT32_MAX / 4)
    return 0;
  const auto* s = static_cast<const uint8_t*>(rgba);
  auto* d = static_cast<uint8_t*>(rgb);
  auto* a = static_cast<uint8_t*>(alpha);
  const std::size_t count = std::size_t{width} * height;
  for (std::size_t i = 0; i < count; ++i, s += 4, d += 3) {
    d[0] = s[0], d[1] = s[1], d[2] = s[2];
    if (a) a[i] = s[3];
  }
  return 1;
}

}  // namespace imaging
