// Median cut over a 32 x 32 x 32 histogram, refined by k-means over the same histogram, then a
// nearest-colour mapping through a lazily filled 64 x 64 x 64 cache, with optional
// Floyd-Steinberg error diffusion.
#include "imaging/color_quantize.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace imaging {
namespace {

struct Bin {
  uint64_t count = 0;
  uint64_t sum[3] = {};
  uint8_t mean[3] = {};  // the bin's centroid
};

struct Box {
  uint32_t begin, end;  // a range of the bin list
  uint64_t count;
};

using Colour = std::array<int32_t, 3>;

int32_t Distance(const Colour& a, const uint8_t* b) {
  const int32_t dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
  return dr * dr + dg * dg + db * db;
}

uint32_t Nearest(const Colour& c, const std::vector<std::array<uint8_t, 3>>& palette) {
  uint32_t best = 0;
  int32_t bestDistance = INT32_MAX;
  for (uint32_t i = 0; i < palette.size(); ++i) {
    const int32_t d = Distance(c, palette[i].data());
    if (d < bestDistance) bestDistance = d, best = i;
  }
  return best;
}

// Exact palette when the picture holds no more than `colours` distinct colours.
bool ExactColours(const uint8_t* rgb, uint32_t w, uint32_t h, uint32_t rowBytes, uint32_t colours,
                  std::vector<uint32_t>& found) {
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* p = rgb + std::size_t{y} * rowBytes;
    for (uint32_t x = 0; x < w; ++x, p += 3) {
      const uint32_t c = p[0] | p[1] << 8 | p[2] << 16;
      if (std::find(found.begin(), found.end(), c) != found.end()) continue;
      if (found.size() == colours) return false;
      found.push_back(c);
    }
  }
  return true;
}

void MedianCut(std::vector<Bin>& bins, uint32_t colours,
               std::vector<std::array<uint8_t, 3>>& palette) {
  std::vector<Box> boxes{{0, uint32_t(bins.size()), 0}};
  for (const Bin& b : bins) boxes[0].count += b.count;
  while (boxes.size() < colours) {
    // Split the box with the widest channel range weighted by its population.
    int bestBox = -1, bestAxis = 0;
    double bestScore = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].end - boxes[i].begin < 2) continue;
      uint8_t lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
      for (uint32_t k = boxes[i].begin; k < boxes[i].end; ++k) {
        for (int c = 0; c < 3; ++c)
          lo[c] = std::min(lo[c], bins[k].mean[c]), hi[c] = std::max(hi[c], bins[k].mean[c]);
      }
      for (int c = 0; c < 3; ++c) {
        const double score = double(hi[c] - lo[c]) * double(boxes[i].count);
        if (score > bestScore) bestScore = score, bestBox = int(i), bestAxis = c;
      }
    }
    if (bestBox < 0) break;
    Box& box = boxes[std::size_t(bestBox)];
    std::sort(
        bins.begin() + box.begin, bins.begin() + box.end,
        [axis = bestAxis](const Bin& a, const Bin& b) { return a.mean[axis] < b.mean[axis]; });
    // Cut at the median pixel, keeping at least one bin on each side.
    uint64_t seen = 0;
    uint32_t cut = box.begin + 1;
    for (uint32_t k = box.begin; k < box.end - 1; ++k) {
      seen += bins[k].count;
      cut = k + 1;
      if (seen * 2 >= box.count) break;
    }
    Box upper{cut, box.end, box.count - seen};
    box.end = cut;
    box.count = seen;
    boxes.push_back(upper);
  }
  palette.clear();
  for (const Box& box : boxes) {
    uint64_t sum[3] = {}, count = 0;
    for (uint32_t k = box.begin; k < box.end; ++k) {
      for (int c = 0; c < 3; ++c) sum[c] += bins[k].sum[c];
      count += bins[k].count;
    }
    std::array<uint8_t, 3> entry{};
    for (int c = 0; c < 3; ++c)
      entry[std::size_t(c)] = uint8_t((sum[c] + count / 2) / std::max<uint64_t>(count, 1));
    palette.push_back(entry);
  }
}

void Refine(const std::vector<Bin>& bins, uint32_t passes,
            std::vector<std::array<uint8_t, 3>>& palette) {
  std::vector<std::array<uint64_t, 4>> totals(palette.size());
  for (uint32_t pass = 0; pass < passes; ++pass) {
    std::fill(totals.begin(), totals.end(), std::array<uint64_t, 4>{});
    for (const Bin& b : bins) {
      const uint32_t i = Nearest({b.mean[0], b.mean[1], b.mean[2]}, palette);
      for (int c = 0; c < 3; ++c) totals[i][std::size_t(c)] += b.sum[c];
      totals[i][3] += b.count;
    }
    bool moved = false;
    for (std::size_t i = 0; i < palette.size(); ++i) {
      if (!totals[i][3]) continue;
      for (std::size_t c = 0; c < 3; ++c) {
        const auto v = uint8_t((totals[i][c] + totals[i][3] / 2) / totals[i][3]);
        moved |= v != palette[i][c];
        palette[i][c] = v;
      }
    }
    if (!moved) break;
  }
}

}  // namespace

int32_t IS3QuantizeRGBTo8Bit(const void* rgbPixels, uint32_t width, uint32_t height,
                             uint32_t rgbRowBytes, void* indexPixels, uint32_t indexRowBytes,
                             uint32_t colours, uint32_t* paletteOut, uint32_t dither,
                             uint32_t refinePasses, uint32_t flags) {
  if (!rgbPixels || !indexPixels || !paletteOut || width == 0 || height == 0) return 0;
  if (colours < 2 || colours > 256 || dither > kQuantizeDither) return 0;
  if (uint64_t{rgbRowBytes} < uint64_t{width} * 3 || indexRowBytes < width) return 0;
  const auto* rgb = static_cast<const uint8_t*>(rgbPixels);
  auto* out = static_cast<uint8_t*>(indexPixels);
  try {
    std::vector<std::array<uint8_t, 3>> palette;
    std::vector<uint32_t> exact;
    exact.reserve(colours);
    const bool isExact = ExactColours(rgb, width, height, rgbRowBytes, colours, exact);
    if (isExact) {
      for (uint32_t c : exact) palette.push_back({uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    } else {
      std::vector<Bin> histogram(32768);
      for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* p = rgb + std::size_t{y} * rgbRowBytes;
        for (uint32_t x = 0; x < width; ++x, p += 3) {
          Bin& b = histogram[(p[0] >> 3) << 10 | (p[1] >> 3) << 5 | p[2] >> 3];
          ++b.count;
          b.sum[0] += p[0], b.sum[1] += p[1], b.sum[2] += p[2];
        }
      }
      std::vector<Bin> bins;
      for (Bin& b : histogram) {
        if (!b.count) continue;
        for (int c = 0; c < 3; ++c) b.mean[c] = uint8_t((b.sum[c] + b.count / 2) / b.count);
        bins.push_back(b);
      }
      MedianCut(bins, colours, palette);
      Refine(bins, refinePasses, palette);
    }
    for (uint32_t i = 0; i < colours; ++i) {
      paletteOut[i] =
          i < palette.size() ? palette[i][0] | palette[i][1] << 8 | palette[i][2] << 16 : 0;
    }

    // Nearest entry by 6-bit cell, filled on first use (0xFFFF: not yet known).
    std::vector<uint16_t> cache(size_t{1} << 18, 0xFFFF);
    auto lookup = [&](const Colour& c) -> uint8_t {
      if (isExact) return uint8_t(Nearest(c, palette));
      uint16_t& slot = cache[std::size_t(c[0] >> 2) << 12 | std::size_t(c[1] >> 2) << 6 |
                             std::size_t(c[2] >> 2)];
      if (slot == 0xFFFF) slot = uint16_t(Nearest(c, palette));
      return uint8_t(slot);
    };
    // Error rows for diffusion: this row and the next, one pixel of margin on each side.
    std::vector<Colour> errors(dither ? (std::size_t{width} + 2) * 2 : 0, Colour{});
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* p = rgb + std::size_t{y} * rgbRowBytes;
      uint8_t* row = out + std::size_t{y} * indexRowBytes;
      Colour* here = dither ? errors.data() + (y & 1) * (width + 2) + 1 : nullptr;
      Colour* next = dither ? errors.data() + ((y + 1) & 1) * (width + 2) + 1 : nullptr;
      if (dither) std::fill(next - 1, next + width + 1, Colour{});
      for (uint32_t x = 0; x < width; ++x, p += 3) {
        Colour c{p[0], p[1], p[2]};
        if (dither) {
          for (int k = 0; k < 3; ++k)
            c[std::size_t(k)] =
                std::clamp(c[std::size_t(k)] + here[x][std::size_t(k)] / 16, 0, 255);
        }
        const uint8_t index = lookup(c);
        row[x] = index;
        if (!dither) continue;
        for (std::size_t k = 0; k < 3; ++k) {
          const int32_t e = c[k] - palette[index][k];
          here[x + 1][k] += e * 7;
          next[int64_t(x) - 1][k] += e * 3;
          next[x][k] += e * 5;
          next[x + 1][k] += e;
        }
      }
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

}  // namespace imaging
