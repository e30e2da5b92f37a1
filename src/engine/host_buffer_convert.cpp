#include "engine/host_buffer_convert.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/parallel_rows.h"
#include "engine/pixel_formats.h"
#include "engine/transfer_checks.h"

namespace engine {
namespace {

using RowKernel = void (*)(const uint16_t*, uint8_t*, std::size_t, Stores);

// Converts rows x cols pixels, rows srcRowBytes and dstRowBytes bytes apart, spread over the
// cores and streamed past the cache when large.
void ConvertRows(const uint16_t* src, int64_t srcRowBytes, uint8_t* dst, int64_t dstRowBytes,
                 int32_t cols, int32_t rows, int32_t dstPixelBytes, RowKernel kernel) {
  const Stores stores = StoresFor(std::size_t(cols) * std::size_t(rows) * dstPixelBytes);
  ForRowBands(rows, std::size_t(cols) * (8 + dstPixelBytes), [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      kernel(RowAt(src, srcRowBytes, y), RowAt(dst, dstRowBytes, y), std::size_t(cols), stores);
    }
  });
}

int32_t ConvertBlock(void* dst, int32_t dstRowBytes, const void* src, int32_t srcRowBytes,
                     int32_t cols, int32_t rows, int32_t dstPixelBytes, RowKernel kernel) {
  if (!dst || !src) return 0;
  if (cols <= 0 || rows <= 0) return 1;
  if (!RowHolds(dstRowBytes, cols, dstPixelBytes) || !RowHolds(srcRowBytes, cols, 8)) return 0;
  if (srcRowBytes % 2 != 0) return 0;  // rows of 16-bit samples start on whole samples
  ConvertRows(static_cast<const uint16_t*>(src), srcRowBytes, static_cast<uint8_t*>(dst),
              dstRowBytes, cols, rows, dstPixelBytes, kernel);
  return 1;
}

// Columns (rows) converted by the block converters: width - x, with x taken as 0 when negative
// so that no more than the block's own width is read.
int32_t CountFrom(int32_t origin, int32_t extent) {
  return static_cast<int32_t>(std::max<int64_t>(0, int64_t{extent} - std::max(origin, 0)));
}

int32_t ConvertRect(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height,
                    int32_t srcRowPixels, uint8_t* dst, int32_t dstPixelBytes, RowKernel kernel) {
  if (!src || !dst || width <= 0 || height <= 0 || x < 0 || y < 0) return 0;
  if (int64_t{x} + width > srcRowPixels || width > INT32_MAX / dstPixelBytes) return 0;
  const int64_t srcRowSamples = int64_t{srcRowPixels} * 4;
  ConvertRows(src + srcRowSamples * y + int64_t{x} * 4, srcRowSamples * 2, dst,
              int64_t{width} * dstPixelBytes, width, height, dstPixelBytes, kernel);
  return 1;
}

}  // namespace

int32_t GetRGBA32FromRGBA64Rect(void* dst, int32_t dstRowBytes, const void* src,
                                int32_t srcRowBytes, int32_t x, int32_t y, int32_t width,
                                int32_t height) {
  return ConvertBlock(dst, dstRowBytes, src, srcRowBytes, CountFrom(x, width), CountFrom(y, height),
                      4, RowRGBA64ToRGBA32);
}

int32_t GetRGB24FromRGBA64Rect(void* dst, int32_t dstRowBytes, const void* src, int32_t srcRowBytes,
                               int32_t x, int32_t y, int32_t width, int32_t height) {
  return ConvertBlock(dst, dstRowBytes, src, srcRowBytes, CountFrom(x, width), CountFrom(y, height),
                      3, RowRGBA64ToRGB24);
}

int32_t GetRGBA32FromRGBA64(void* dst, int32_t dstRowBytes, int32_t width, int32_t height,
                            const void* src, int32_t srcRowBytes) {
  return GetRGBA32FromRGBA64Rect(dst, dstRowBytes, src, srcRowBytes, 0, 0, width, height);
}

int32_t GetRGB24FromRGBA64(void* dst, int32_t dstRowBytes, const void* src, int32_t srcRowBytes) {
  const EngineState& s = State();
  return GetRGB24FromRGBA64Rect(dst, dstRowBytes, src, srcRowBytes, 0, 0, s.canvasWidth,
                                s.canvasHeight);
}

int32_t RGBA64RectToRGBA32(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t srcRowPixels, int32_t reserved, uint8_t* dst) {
  return ConvertRect(src, x, y, width, height, srcRowPixels, dst, 4, RowRGBA64ToRGBA32);
}

int32_t RGBA64RectToRGBA24(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t srcRowPixels, int32_t reserved, uint8_t* dst) {
  return ConvertRect(src, x, y, width, height, srcRowPixels, dst, 3, RowRGBA64ToRGB24);
}

int32_t SetPixelRGB24(void* dst, int32_t dstRowBytes, int32_t x, int32_t y, int32_t red16,
                      int32_t green16, int32_t blue16) {
  const EngineState& s = State();
  if (!dst || x < 0 || y < 0 || x >= s.canvasWidth || y >= s.canvasHeight) return 0;
  if (!RowHolds(dstRowBytes, s.canvasWidth, 3)) return 0;
  uint8_t* p = RowAt(static_cast<uint8_t*>(dst), dstRowBytes, y) + std::size_t(x) * 3;
  p[0] = High8(uint16_t(red16));
  p[1] = High8(uint16_t(green16));
  p[2] = High8(uint16_t(blue16));
  return 1;
}

}  // namespace engine
