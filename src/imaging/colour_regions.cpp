#include "imaging/colour_regions.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "imaging/picture_args.h"

namespace imaging {
namespace {

// Which colour bytes a match compares, and how their squared distance is scaled to three bytes.
struct ColourMatch {
  int channels[3] = {};
  int count = 0;
  int32_t key[3] = {};
  uint64_t scaledTolerance = 0;  // tolerance x count, compared with 3 x the squared distance

  ColourMatch(uint32_t bytesPerPixel, uint32_t compareBytes, uint32_t colour, uint32_t tolerance) {
    const uint32_t colourBytes = bytesPerPixel == 1 ? 1 : 3;
    for (uint32_t c = 0; c < colourBytes; ++c) {
      if (((compareBytes >> (8 * c)) & 0xFF) == 0) continue;
      channels[count] = int(c);
      key[count] = int32_t((colour >> (8 * c)) & 0xFF);
      ++count;
    }
    scaledTolerance = uint64_t{tolerance} * uint64_t(count);
  }
  bool Within(const uint8_t* pixel) const {
    uint64_t distance = 0;
    for (int i = 0; i < count; ++i) {
      const int32_t d = int32_t(pixel[channels[i]]) - key[i];
      distance += uint64_t(d * d);
    }
    return 3 * distance <= scaledTolerance;
  }
};

constexpr uint32_t kAllColourBytes = 0xFFFFFF;

uint32_t PackedPixel(const uint8_t* pixel, uint32_t bytesPerPixel) {
  uint32_t colour = 0;
  for (uint32_t c = 0; c < bytesPerPixel; ++c) colour |= uint32_t(pixel[c]) << (8 * c);
  return colour;
}

bool Inside(ImagePoint point, uint32_t width, uint32_t height) {
  return point.x >= 0 && point.y >= 0 && uint32_t(point.x) < width && uint32_t(point.y) < height;
}

// The region around point as a map: 1 where a pixel matches the point's colour, then the connected
// part of the matches grown from the point (OpenCV's flood fill over the match map) marked 2.
cv::Mat RegionAround(const void* image, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                     uint32_t rowBytes, ImagePoint point, uint32_t compareBytes,
                     uint32_t connectivity, uint32_t tolerance) {
  const uint8_t* base = static_cast<const uint8_t*>(image);
  const ColourMatch match(
      bytesPerPixel, compareBytes,
      PackedPixel(base + std::size_t(point.y) * rowBytes + std::size_t(point.x) * bytesPerPixel,
                  bytesPerPixel),
      tolerance);
  cv::Mat region(int(height), int(width), CV_8UC1);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* pixel = base + std::size_t(y) * rowBytes;
    uint8_t* out = region.ptr<uint8_t>(int(y));
    for (uint32_t x = 0; x < width; ++x, pixel += bytesPerPixel)
      out[x] = match.Within(pixel) ? 1 : 0;
  }
  cv::floodFill(region, cv::Point(point.x, point.y), cv::Scalar(2), nullptr, cv::Scalar(0),
                cv::Scalar(0), connectivity == kEdgeNeighbours ? 4 : 8);
  return region;
}

}  // namespace

int32_t IS3ColorReplaceImage(void* image, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                             uint32_t rowBytes, uint32_t oldColour, uint32_t newColour,
                             uint32_t tolerance, uint32_t option) {
  if (!IsDrawablePicture(image, width, height, rowBytes, bytesPerPixel)) return 0;
  const ColourMatch match(bytesPerPixel, kAllColourBytes, oldColour, tolerance);
  const uint32_t written = bytesPerPixel == 4 && option != kReplaceWholePixel ? 3 : bytesPerPixel;
  uint8_t replacement[4];
  for (uint32_t c = 0; c < 4; ++c) replacement[c] = uint8_t(newColour >> (8 * c));
  uint8_t* base = static_cast<uint8_t*>(image);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* pixel = base + std::size_t(y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x, pixel += bytesPerPixel) {
      if (!match.Within(pixel)) continue;
      for (uint32_t c = 0; c < written; ++c) pixel[c] = replacement[c];
    }
  }
  return 1;
}

int32_t IS3FloodFillImage(void* image, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                          uint32_t rowBytes, ImagePoint point, uint32_t fillColour,
                          uint32_t connectivity, uint32_t tolerance, uint32_t /*reserved*/) {
  if (!IsDrawablePicture(image, width, height, rowBytes, bytesPerPixel) ||
      !Inside(point, width, height))
    return 0;
  try {
    const cv::Mat region = RegionAround(image, width, height, bytesPerPixel, rowBytes, point,
                                        kAllColourBytes, connectivity, tolerance);
    const uint32_t written = bytesPerPixel == 4 ? 3 : bytesPerPixel;
    uint8_t* base = static_cast<uint8_t*>(image);
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* marks = region.ptr<uint8_t>(int(y));
      uint8_t* pixel = base + std::size_t(y) * rowBytes;
      for (uint32_t x = 0; x < width; ++x, pixel += bytesPerPixel) {
        if (marks[x] != 2) continue;
        for (uint32_t c = 0; c < written; ++c) pixel[c] = uint8_t(fillColour >> (8 * c));
      }
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

int32_t IS3GetColorMatchMaskFromImage(const void* image, uint32_t width, uint32_t height,
                                      uint32_t bytesPerPixel, uint32_t rowBytes, uint8_t* map,
                                      uint32_t mapRowBytes, ImagePoint point, uint32_t compareBytes,
                                      uint32_t connectivity, uint32_t tolerance,
                                      uint32_t /*reserved*/) {
  if (!IsDrawablePicture(image, width, height, rowBytes, bytesPerPixel) || !map ||
      mapRowBytes < width || !Inside(point, width, height))
    return 0;
  try {
    const cv::Mat region = RegionAround(image, width, height, bytesPerPixel, rowBytes, point,
                                        compareBytes, connectivity, tolerance);
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* marks = region.ptr<uint8_t>(int(y));
      uint8_t* out = map + std::size_t(y) * mapRowBytes;
      for (uint32_t x = 0; x < width; ++x) {
        if (marks[x] == 2) out[x] = 1;
      }
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
