// The frame shared by the filters that read one picture and write another of the same size:
// argument checks, OpenCV views, a result built aside and copied last, rows in parallel.
#pragma once

#include <cstdint>
#include <opencv2/core.hpp>

#include "imaging/picture_args.h"

namespace imaging {

// A source and a destination picture of the same size and pixel size.
struct PicturePair {
  cv::Mat in;
  cv::Mat out;
};

// True, filling *pair, when both pictures are usable with this pixel size.
inline bool MakePicturePair(const void* src, uint32_t width, uint32_t height,
                            uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                            uint32_t dstRowBytes, PicturePair* pair) {
  if (!IsDrawablePicture(src, width, height, srcRowBytes, bytesPerPixel) ||
      !IsDrawablePicture(dst, width, height, dstRowBytes, bytesPerPixel))
    return false;
  pair->in = WrapPicture(src, width, height, bytesPerPixel, srcRowBytes);
  pair->out = WrapPicture(dst, width, height, bytesPerPixel, dstRowBytes);
  return true;
}

// Runs rows(begin, end) over bands of 0..height - 1 on OpenCV's pool. Every caller writes each
// row from inputs only, so the result does not depend on how the rows are split.
template <typename Rows>
void ForEachRowBand(int height, Rows&& rows) {
  cv::parallel_for_(
      cv::Range(0, height), [&](const cv::Range& r) { rows(r.start, r.end); },
      height >= 64 ? height / 16.0 : 1.0);
}

// True when the bytes of the two pictures do not overlap.
inline bool Apart(const cv::Mat& a, const cv::Mat& b) {
  const uint8_t* aEnd = a.ptr<uint8_t>(a.rows - 1) + a.cols * a.elemSize();
  const uint8_t* bEnd = b.ptr<uint8_t>(b.rows - 1) + b.cols * b.elemSize();
  return aEnd <= b.data || bEnd <= a.data;
}

// Runs row(y, in, out) over every row of an RGB24 picture (in and out pointing at the row's
// first pixel). Rows go straight into dst when it lies apart from src; otherwise into a picture
// built aside and then copied, so that src and dst may be the same buffer. Work that depends on
// the row alone is done once a row; row must not fail. Returns 1, or 0 with nothing written.
template <typename Row>
int32_t EachRGB24Row(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                     void* dst, uint32_t dstRowBytes, Row row) {
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  try {
    const bool direct = Apart(p.in, p.out);
    cv::Mat result = direct ? p.out : cv::Mat(p.in.size(), p.in.type());
    ForEachRowBand(p.in.rows, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) row(y, p.in.ptr<uint8_t>(y), result.ptr<uint8_t>(y));
    });
    if (!direct) result.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

// The same pixel by pixel: pixel(x, y, in, out) with in and out at the pixel.
template <typename Pixel>
int32_t EachRGB24Pixel(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                       void* dst, uint32_t dstRowBytes, Pixel pixel) {
  const int w = int(width);
  return EachRGB24Row(src, width, height, srcRowBytes, dst, dstRowBytes,
                      [&](int y, const uint8_t* s, uint8_t* d) {
                        for (int x = 0; x < w; ++x) pixel(x, y, s + 3 * x, d + 3 * x);
                      });
}

// A value limited to a byte.
inline uint8_t ClampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
inline uint8_t ClampByte(float v) {
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v + 0.5f);
}
inline uint8_t ClampByte(double v) {
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v + 0.5);
}

// A well-mixed 32-bit hash of a position and a seed: the noise and texture filters draw from it,
// so their pictures are the same at any band split and on every run.
inline uint32_t HashPosition(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}
// The hash as a number in [0, 1).
inline double HashUnit(uint32_t x, uint32_t y, uint32_t seed) {
  return HashPosition(x, y, seed) * (1.0 / 4294967296.0);
}

}  // namespace imaging
