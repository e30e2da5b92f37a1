// Sampling for inverse mappings: every destination pixel names the source position it shows
// (pixel centres sit at whole numbers plus one half), and the sampler reads the source there.
// Bilinear between the four nearest pixel centres; where the mapping shrinks (one destination
// pixel covers several source pixels) the pixel's footprint is averaged from a grid of up to
// 4 x 4 bilinear samples, so that fine detail does not turn into moiré.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

// A source picture and what lies beyond its borders.
struct WarpSource {
  const uint8_t* pixels;
  uint32_t width, height, bytesPerPixel, rowBytes;
  // What lies beyond the border.
  enum Outside : uint8_t {
    kSoftFill,  // taps beyond the border read fill, so edges soften into it
    kHardFill,  // positions beyond the border read fill; taps inside repeat the border pixel
    kRepeat,    // the border pixel stretches outward (positions were folded into the frame)
  } outside;
  uint8_t fill[4];
};

// One destination row of source positions, and the row below it (for the footprint's height).
struct MappedRow {
  const double* xs;
  const double* ys;
  const double* xsBelow;
  const double* ysBelow;
};

// Writes count pixels of one destination row: quality 0 takes the pixel under each position,
// 1 interpolates and averages shrunk footprints.
void SampleMappedRow(const WarpSource& source, const MappedRow& row, uint32_t count,
                     uint32_t quality, uint8_t* out);

// Runs an inverse mapping over a whole picture, rows in bands on the library's pool. mapRow(y,
// xs, ys) fills the source positions of destination row y (xs and ys hold width values) and must
// depend on y and the mapping only. src and dst must not overlap. Throws std::bad_alloc.
template <typename MapRow>
void WarpByRows(const WarpSource& source, uint8_t* dst, uint32_t dstRowBytes, uint32_t quality,
                MapRow mapRow);

}  // namespace imaging

#include "imaging/filter_frame.h"

namespace imaging {

template <typename MapRow>
void WarpByRows(const WarpSource& source, uint8_t* dst, uint32_t dstRowBytes, uint32_t quality,
                MapRow mapRow) {
  const uint32_t width = source.width;
  ForEachRowBand(int(source.height), [&](int begin, int end) {
    std::vector<double> rows(size_t{width} * 4);
    double* xs = rows.data();
    double* ys = xs + width;
    double* xsBelow = ys + width;
    double* ysBelow = xsBelow + width;
    mapRow(uint32_t(begin), xs, ys);
    for (int y = begin; y < end; ++y) {
      // The row below gives the footprint's vertical extent; it is the next row's own mapping.
      if (quality != 0) mapRow(uint32_t(y) + 1, xsBelow, ysBelow);
      SampleMappedRow(source, {xs, ys, xsBelow, ysBelow}, width, quality,
                      dst + size_t(y) * dstRowBytes);
      if (quality != 0) {
        std::swap(xs, xsBelow);
        std::swap(ys, ysBelow);
      } else if (y + 1 < end) {
        mapRow(uint32_t(y) + 1, xs, ys);
      }
    }
  });
}

}  // namespace imaging
