#include "mask/channel_helpers.h"

#include <cstddef>

namespace mask {
namespace {

// Calls fn(destination pixel, source pixel) over width x height pixels of the given sizes.
template <int DstBytes, int SrcBytes, class Fn>
void ForEachPixel(uint8_t* destination, int32_t width, int32_t height, const uint8_t* source,
                  Fn fn) {
  if (!destination || !source || width <= 0 || height <= 0) return;
  const std::size_t count = std::size_t(width) * std::size_t(height);
  for (std::size_t i = 0; i < count; ++i) fn(destination + DstBytes * i, source + SrcBytes * i);
}

}  // namespace

void RGBAlphaToRGB(uint8_t* destination, int32_t width, int32_t height, const uint8_t* source) {
  ForEachPixel<3, 4>(destination, width, height, source,
                     [](uint8_t* d, const uint8_t* s) { d[0] = d[1] = d[2] = s[3]; });
}

void RGBToRGBAlpha(uint8_t* destination, int32_t width, int32_t height, const uint8_t* source) {
  ForEachPixel<4, 3>(destination, width, height, source, [](uint8_t* d, const uint8_t* s) {
    d[3] = static_cast<uint8_t>((s[0] + s[1] + s[2]) / 3);
  });
}

void RGBToRGBA(uint8_t* destination, int32_t width, int32_t height, const uint8_t* source) {
  ForEachPixel<4, 3>(destination, width, height, source,
                     [](uint8_t* d, const uint8_t* s) { d[0] = s[0], d[1] = s[1], d[2] = s[2]; });
}

void RGBAToRGB(uint8_t* destination, int32_t width, int32_t height, const uint8_t* source) {
  ForEachPixel<3, 4>(destination, width, height, source,
                     [](uint8_t* d, const uint8_t* s) { d[0] = s[0], d[1] = s[1], d[2] = s[2]; });
}

}  // namespace mask
