#include "engine/pixel_formats.h"

namespace engine {
namespace {

std::size_t PackedPixels(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  return std::size_t(width) * std::size_t(height);
}

}  // namespace

// The loops below are written sample by sample over contiguous memory so that the compiler turns
// them into vector shifts and packs.

void RowRGBA64ToRGBA32(const uint16_t* __restrict src, uint8_t* __restrict dst,
                       std::size_t pixels) {
  const std::size_t samples = pixels * 4;
  for (std::size_t i = 0; i < samples; ++i) dst[i] = High8(src[i]);
}

void RowRGBA64ToRGB24(const uint16_t* __restrict src, uint8_t* __restrict dst,
                      std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i) {
    dst[3 * i + 0] = High8(src[4 * i + 0]);
    dst[3 * i + 1] = High8(src[4 * i + 1]);
    dst[3 * i + 2] = High8(src[4 * i + 2]);
  }
}

void RowRGBA32ToRGBA64(const uint8_t* __restrict src, uint16_t* __restrict dst,
                       std::size_t pixels) {
  const std::size_t samples = pixels * 4;
  for (std::size_t i = 0; i < samples; ++i) dst[i] = Widen8(src[i]);
}

void RowAlphaToGrey24(const uint16_t* __restrict src, uint8_t* __restrict dst,
                      std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i) {
    const uint8_t grey = High8(src[4 * i + 3]);
    dst[3 * i + 0] = grey;
    dst[3 * i + 1] = grey;
    dst[3 * i + 2] = grey;
  }
}

void RGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, int32_t width, int32_t height) {
  if (src && dst) RowRGBA32ToRGBA64(src, dst, PackedPixels(width, height));
}

void RGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t width, int32_t height) {
  if (src && dst) RowRGBA64ToRGBA32(src, dst, PackedPixels(width, height));
}

void FillAlphaRGBA32(uint8_t* buffer, int32_t width, int32_t height, uint8_t value) {
  if (!buffer) return;
  const std::size_t pixels = PackedPixels(width, height);
  for (std::size_t i = 0; i < pixels; ++i) buffer[4 * i + 3] = value;
}

}  // namespace engine
