#include "imaging/tone_filters.h"

#include <algorithm>
#include <array>

#include "imaging/filter_frame.h"

namespace imaging {

namespace {

using Table = std::array<uint8_t, 256>;

// Every tone filter is one table over the samples, run row by row.
int32_t ApplyTable(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                   void* dst, uint32_t dstRowBytes, const Table& table) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  const int samples = int(width) * 3;
  ForEachRowBand(int(height), [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const uint8_t* s = p.in.ptr<uint8_t>(y);
      uint8_t* d = p.out.ptr<uint8_t>(y);
      for (int i = 0; i < samples; ++i) d[i] = table[s[i]];
    }
  });
  return 1;
}

}  // namespace

int32_t ISE3InvertImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                        void* dst, uint32_t dstRowBytes) {
  Table t;
  for (int x = 0; x < 256; ++x) t[x] = uint8_t(255 - x);
  return ApplyTable(src, width, height, srcRowBytes, dst, dstRowBytes, t);
}

int32_t ISE3PosterizeRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                         void* dst, uint32_t dstRowBytes, uint32_t levels) {
  const uint32_t n = std::clamp<uint32_t>(levels, 2, 255);
  Table t;
  for (uint32_t x = 0; x < 256; ++x) t[x] = uint8_t((x * n >> 8) * 255 / (n - 1));
  return ApplyTable(src, width, height, srcRowBytes, dst, dstRowBytes, t);
}

int32_t ISE3SolarizeImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                          void* dst, uint32_t dstRowBytes, uint32_t threshold) {
  Table t;
  for (uint32_t x = 0; x < 256; ++x) t[x] = uint8_t(x > threshold ? 255 - x : x);
  return ApplyTable(src, width, height, srcRowBytes, dst, dstRowBytes, t);
}

}  // namespace imaging
