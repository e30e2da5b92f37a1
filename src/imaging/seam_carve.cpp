#include "imaging/seam_carve.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "imaging/cancel_check.h"
#include "imaging/picture_checks.h"

namespace imaging {
namespace {

// A picture being carved: rows keep the original row length while their used width shrinks.
struct CarvePicture {
  uint32_t stride = 0;  // pixels a row in every plane
  uint32_t width = 0;   // columns still in use
  uint32_t height = 0;
  uint32_t bytesPerPixel = 0;
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> grey;
  std::vector<int32_t> protection;  // energy added per pixel
  std::vector<uint32_t> column;     // original column of each pixel

  CarvePicture(uint32_t columns, uint32_t rows, uint32_t pixelBytes)
      : stride(columns), width(columns), height(rows), bytesPerPixel(pixelBytes) {}
  size_t At(uint32_t x, uint32_t y) const { return static_cast<size_t>(y) * stride + x; }
};

uint8_t Grey(const uint8_t* p, uint32_t bytesPerPixel) {
  if (bytesPerPixel == 1) return p[0];
  return static_cast<uint8_t>((77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8);
}

void LoadPicture(CarvePicture& pic, const uint8_t* src, uint32_t srcRowBytes,
                 const uint16_t* protect, uint32_t protectRowLength, uint32_t protectWeight,
                 bool maskConvention) {
  const size_t count = static_cast<size_t>(pic.stride) * pic.height;
  pic.pixels.resize(count * pic.bytesPerPixel);
  pic.grey.resize(count);
  pic.protection.assign(count, 0);
  pic.column.resize(count);
  for (uint32_t y = 0; y < pic.height; ++y) {
    std::memcpy(&pic.pixels[pic.At(0, y) * pic.bytesPerPixel],
                src + static_cast<size_t>(y) * srcRowBytes,
                static_cast<size_t>(pic.width) * pic.bytesPerPixel);
    for (uint32_t x = 0; x < pic.width; ++x) {
      const size_t i = pic.At(x, y);
      pic.grey[i] = Grey(&pic.pixels[i * pic.bytesPerPixel], pic.bytesPerPixel);
      pic.column[i] = x;
      if (protect) {
        const uint32_t m = protect[static_cast<size_t>(y) * protectRowLength + x];
        const uint32_t guarded = maskConvention ? 65535 - m : m;
        pic.protection[i] = static_cast<int32_t>(uint64_t{guarded} * protectWeight * 64 / 65535);
      }
    }
  }
}

// Finds the cheapest seam: seam[y] is its column in row y.
void FindSeam(const CarvePicture& pic, std::vector<int32_t>& energy, std::vector<int8_t>& step,
              std::vector<int64_t>& above, std::vector<int64_t>& here,
              std::vector<uint32_t>& seam) {
  const uint32_t w = pic.width, h = pic.height;
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* g = &pic.grey[pic.At(0, y)];
    const uint8_t* up = &pic.grey[pic.At(0, y == 0 ? 0 : y - 1)];
    const uint8_t* down = &pic.grey[pic.At(0, y + 1 == h ? y : y + 1)];
    const int32_t* guard = &pic.protection[pic.At(0, y)];
    int32_t* e = &energy[static_cast<size_t>(y) * pic.stride];
    for (uint32_t x = 0; x < w; ++x) {
      const int32_t left = g[x == 0 ? 0 : x - 1], right = g[x + 1 == w ? x : x + 1];
      e[x] = std::abs(right - left) + std::abs(int32_t{down[x]} - int32_t{up[x]}) + guard[x];
    }
  }
  for (uint32_t x = 0; x < w; ++x) above[x] = energy[x];
  for (uint32_t y = 1; y < h; ++y) {
    const int32_t* e = &energy[static_cast<size_t>(y) * pic.stride];
    int8_t* s = &step[static_cast<size_t>(y) * pic.stride];
    for (uint32_t x = 0; x < w; ++x) {
      // Straight down wins ties, then left.
      int64_t best = above[x];
      int8_t move = 0;
      if (x > 0 && above[x - 1] < best) best = above[x - 1], move = -1;
      if (x + 1 < w && above[x + 1] < best) best = above[x + 1], move = 1;
      here[x] = best + e[x];
      s[x] = move;
    }
    std::swap(above, here);
  }
  uint32_t x = 0;
  for (uint32_t i = 1; i < w; ++i)
    if (above[i] < above[x]) x = i;
  for (uint32_t y = h; y-- > 0;) {
    seam[y] = x;
    if (y > 0)
      x = static_cast<uint32_t>(static_cast<int64_t>(x) +
                                step[static_cast<size_t>(y) * pic.stride + x]);
  }
}

void RemoveSeam(CarvePicture& pic, const std::vector<uint32_t>& seam) {
  const uint32_t bpp = pic.bytesPerPixel;
  for (uint32_t y = 0; y < pic.height; ++y) {
    const uint32_t x = seam[y];
    const size_t i = pic.At(x, y);
    const size_t tail = pic.width - x - 1;
    std::memmove(&pic.pixels[i * bpp], &pic.pixels[(i + 1) * bpp], tail * bpp);
    std::memmove(&pic.grey[i], &pic.grey[i + 1], tail);
    std::memmove(&pic.protection[i], &pic.protection[i + 1], tail * sizeof(int32_t));
    std::memmove(&pic.column[i], &pic.column[i + 1], tail * sizeof(uint32_t));
  }
  --pic.width;
}

struct Cancelled {};

// Removes count seams (a cancel between two seams throws Cancelled); when doubled is given, counts
// for each original pixel how many removed seams passed through it.
void Carve(CarvePicture& pic, uint32_t count, std::vector<uint16_t>* doubled) {
  const size_t planeSize = static_cast<size_t>(pic.stride) * pic.height;
  std::vector<int32_t> energy(planeSize);
  std::vector<int8_t> step(planeSize);
  std::vector<int64_t> above(pic.stride), here(pic.stride);
  std::vector<uint32_t> seam(pic.height);
  for (uint32_t n = 0; n < count; ++n) {
    if (CancelRequested()) throw Cancelled();
    FindSeam(pic, energy, step, above, here, seam);
    if (doubled)
      for (uint32_t y = 0; y < pic.height; ++y)
        ++(*doubled)[static_cast<size_t>(y) * pic.stride + pic.column[pic.At(seam[y], y)]];
    RemoveSeam(pic, seam);
  }
}

// Widens rows by count seams: each chosen pixel is followed by the mean of it and its right
// neighbour.
std::vector<uint8_t> Widen(const uint8_t* src, uint32_t srcRowBytes, uint32_t width,
                           uint32_t height, uint32_t bpp, const std::vector<uint16_t>& doubled,
                           uint32_t stride, uint32_t count) {
  const uint32_t outWidth = width + count;
  std::vector<uint8_t> out(static_cast<size_t>(outWidth) * height * bpp);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = src + static_cast<size_t>(y) * srcRowBytes;
    uint8_t* o = &out[static_cast<size_t>(y) * outWidth * bpp];
    for (uint32_t x = 0; x < width; ++x) {
      const uint8_t* p = row + static_cast<size_t>(x) * bpp;
      const uint8_t* q = row + static_cast<size_t>(x + 1 < width ? x + 1 : x) * bpp;
      std::memcpy(o, p, bpp);
      o += bpp;
      for (uint16_t k = 0; k < doubled[static_cast<size_t>(y) * stride + x]; ++k, o += bpp)
        for (uint32_t c = 0; c < bpp; ++c) o[c] = static_cast<uint8_t>((p[c] + q[c] + 1) / 2);
    }
  }
  return out;
}

}  // namespace

int32_t ISE40_SeamCarve(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t srcRowBytes, const uint16_t* protect, uint32_t protectRowLength,
                        void* dst, uint32_t dstRowBytes, int32_t deltaWidth, uint32_t protectWeight,
                        uint32_t flags) {
  if ((bytesPerPixel != 1 && bytesPerPixel != 3 && bytesPerPixel != 4) ||
      !IsUsablePicture(src, width, height, srcRowBytes, bytesPerPixel) ||
      (protect && protectRowLength < width))
    return 0;
  const int64_t newWidth = int64_t{width} + deltaWidth;
  if (newWidth < 1 || newWidth > kMaxPictureSide ||
      !IsUsablePicture(dst, static_cast<uint32_t>(newWidth), height, dstRowBytes, bytesPerPixel))
    return 0;
  const bool maskConvention = (flags & 1) != 0;
  try {
    if (deltaWidth <= 0) {
      CarvePicture pic(width, height, bytesPerPixel);
      LoadPicture(pic, static_cast<const uint8_t*>(src), srcRowBytes, protect, protectRowLength,
                  protectWeight, maskConvention);
      Carve(pic, static_cast<uint32_t>(-int64_t{deltaWidth}), nullptr);
      for (uint32_t y = 0; y < height; ++y)
        std::memcpy(static_cast<uint8_t*>(dst) + static_cast<size_t>(y) * dstRowBytes,
                    &pic.pixels[pic.At(0, y) * bytesPerPixel],
                    static_cast<size_t>(newWidth) * bytesPerPixel);
      return 1;
    }
    // Widening: in rounds of at most half the current width, find the seams removal would take
    // and double them. The protection map follows the original columns only in the first round.
    std::vector<uint8_t> current;
    const uint8_t* picture = static_cast<const uint8_t*>(src);
    uint32_t rowBytes = srcRowBytes, currentWidth = width;
    uint32_t remaining = static_cast<uint32_t>(deltaWidth);
    bool firstRound = true;
    while (remaining > 0) {
      const uint32_t count = std::min(remaining, std::max(1u, currentWidth / 2));
      CarvePicture pic(currentWidth, height, bytesPerPixel);
      LoadPicture(pic, picture, rowBytes, firstRound ? protect : nullptr, protectRowLength,
                  protectWeight, maskConvention);
      std::vector<uint16_t> doubled(static_cast<size_t>(currentWidth) * height, 0);
      Carve(pic, count, &doubled);
      current = Widen(picture, rowBytes, currentWidth, height, bytesPerPixel, doubled, currentWidth,
                      count);
      currentWidth += count;
      rowBytes = currentWidth * bytesPerPixel;
      picture = current.data();
      remaining -= count;
      firstRound = false;
    }
    for (uint32_t y = 0; y < height; ++y)
      std::memcpy(static_cast<uint8_t*>(dst) + static_cast<size_t>(y) * dstRowBytes,
                  picture + static_cast<size_t>(y) * rowBytes, static_cast<size_t>(rowBytes));
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
