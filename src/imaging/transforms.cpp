#include "imaging/transforms.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/bump_map_displacement.h"
#include "imaging/picture_checks.h"

namespace imaging {
namespace {

enum class TransformKind { kOffset, kBumpMap, kRandom };

// One entry of the list. New kinds add a value to TransformKind and a case to TraceBack.
struct Transform {
  TransformKind kind;
  double frameWidth, frameHeight;
  double dx, dy;
  uint32_t edgeMode;
  std::shared_ptr<const BumpField> bump;  // kBumpMap
  uint32_t seed = 0;                        // kRandom; dx holds the amount
};

// A well-mixed hash of a whole-pixel position, in [0, 1).
double ScatterUnit(int64_t x, int64_t y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 16, h *= 0x7FEB352Du, h ^= h >> 15, h *= 0x846CA68Bu, h ^= h >> 16;
  return h * (1.0 / 4294967296.0);
}

std::vector<Transform>& TransformList() {
  static std::vector<Transform> list;
  return list;
}

// Folds a position into [0, size) by the edge mode; kEdgeFill leaves it where it is.
double FoldIntoFrame(double u, double size, uint32_t edgeMode) {
  switch (edgeMode) {
    case kEdgeWrap: {
      const double r = std::fmod(u, size);
      return r < 0 ? r + size : r;
    }
    case kEdgeRepeat:
      return std::clamp(u, 0.0, std::nextafter(size, 0.0));
    case kEdgeMirror: {
      double r = std::fmod(u, 2 * size);
      if (r < 0) r += 2 * size;
      return r < size ? r : std::nextafter(2 * size - r, 0.0);
    }
    default:
      return u;
  }
}

// Moves a row of positions from the transform's output back to its input.
void TraceBack(const Transform& t, double* xs, double* ys, size_t count) {
  switch (t.kind) {
    case TransformKind::kOffset:
      for (size_t i = 0; i < count; ++i) {
        xs[i] = FoldIntoFrame(xs[i] - t.dx, t.frameWidth, t.edgeMode);
        ys[i] = FoldIntoFrame(ys[i] - t.dy, t.frameHeight, t.edgeMode);
      }
      break;
    case TransformKind::kBumpMap:
      TraceBackBump(*t.bump, xs, ys, count);
      break;
    case TransformKind::kRandom:
      // The offset belongs to the whole pixel, so that a pixel moves as one piece.
      for (size_t i = 0; i < count; ++i) {
        const int64_t px = int64_t(std::floor(xs[i])), py = int64_t(std::floor(ys[i]));
        xs[i] = FoldIntoFrame(xs[i] + (ScatterUnit(px, py, t.seed) * 2 - 1) * t.dx, t.frameWidth,
                              kEdgeRepeat);
        ys[i] = FoldIntoFrame(ys[i] + (ScatterUnit(px, py, t.seed ^ 0x5bd1e995u) * 2 - 1) * t.dx,
                              t.frameHeight, kEdgeRepeat);
      }
      break;
  }
}

void SampleNearest(const uint8_t* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                   uint32_t srcRowBytes, const double* xs, const double* ys, const uint8_t* fill,
                   uint8_t* out, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i, out += bytesPerPixel) {
    const double fx = std::floor(xs[i]), fy = std::floor(ys[i]);
    if (fx < 0 || fy < 0 || fx >= width || fy >= height) {
      std::memcpy(out, fill, bytesPerPixel);
      continue;
    }
    std::memcpy(out, src + static_cast<size_t>(fy) * srcRowBytes + static_cast<size_t>(fx) * bytesPerPixel,
                bytesPerPixel);
  }
}

// Bilinear between the four pixel centres around the position; neighbours beyond the border
// repeat the border pixel. Positions outside the picture get the fill.
void SampleBilinear(const uint8_t* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                    uint32_t srcRowBytes, const double* xs, const double* ys, const uint8_t* fill,
                    uint8_t* out, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i, out += bytesPerPixel) {
    if (xs[i] < 0 || ys[i] < 0 || xs[i] >= width || ys[i] >= height) {
      std::memcpy(out, fill, bytesPerPixel);
      continue;
    }
    const double u = xs[i] - 0.5, v = ys[i] - 0.5;
    const double fu = std::floor(u), fv = std::floor(v);
    const double ax = u - fu, ay = v - fv;
    const int64_t x0 = std::clamp<int64_t>(static_cast<int64_t>(fu), 0, width - 1);
    const int64_t x1 = std::clamp<int64_t>(static_cast<int64_t>(fu) + 1, 0, width - 1);
    const int64_t y0 = std::clamp<int64_t>(static_cast<int64_t>(fv), 0, height - 1);
    const int64_t y1 = std::clamp<int64_t>(static_cast<int64_t>(fv) + 1, 0, height - 1);
    const uint8_t* r0 = src + y0 * srcRowBytes;
    const uint8_t* r1 = src + y1 * srcRowBytes;
    for (uint32_t c = 0; c < bytesPerPixel; ++c) {
      const double top = r0[x0 * bytesPerPixel + c] * (1 - ax) + r0[x1 * bytesPerPixel + c] * ax;
      const double bottom = r1[x0 * bytesPerPixel + c] * (1 - ax) + r1[x1 * bytesPerPixel + c] * ax;
      out[c] = static_cast<uint8_t>(top * (1 - ay) + bottom * ay + 0.5);
    }
  }
}

}  // namespace

int32_t is5_ClearAllTransforms() {
  TransformList().clear();
  return 1;
}

int32_t is5_AddOffsetTransform(uint32_t width, uint32_t height, double dx, double dy,
                               uint32_t edgeMode) {
  if (width == 0 || height == 0 || edgeMode > kEdgeMirror || !std::isfinite(dx) ||
      !std::isfinite(dy))
    return 0;
  try {
    TransformList().push_back({TransformKind::kOffset, double(width), double(height), dx, dy, edgeMode, nullptr});
    return 1;
  } catch (...) {
    return 0;
  }
}

int32_t is5_AddBumpMapDisplacementTransform(uint32_t width, uint32_t height, float amount,
                                            const void* map, uint32_t mapWidth,
                                            uint32_t mapHeight) {
  try {
    auto field = MakeBumpField(width, height, amount, static_cast<const uint8_t*>(map), mapWidth,
                               mapHeight);
    if (!field) return 0;
    TransformList().push_back({TransformKind::kBumpMap, double(width), double(height), 0, 0,
                               kEdgeFill, std::move(field)});
    return 1;
  } catch (...) {
    return 0;
  }
}

int32_t is5_AddRandomTransform(uint32_t width, uint32_t height, double amount, uint32_t seed) {
  if (width == 0 || height == 0 || !std::isfinite(amount) || amount < 0) return 0;
  try {
    Transform t{TransformKind::kRandom, double(width), double(height), amount, amount, kEdgeRepeat, nullptr};
    t.seed = seed;
    TransformList().push_back(t);
    return 1;
  } catch (...) {
    return 0;
  }
}

int32_t is5_TransformProcess(const void* src, uint32_t width, uint32_t height,
                             uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                             uint32_t dstRowBytes, uint32_t quality, uint32_t fill, uint32_t flags) {
  const std::vector<Transform>& list = TransformList();
  if (list.empty() || quality > 1 || bytesPerPixel == 8 || !IsSupportedPixelSize(bytesPerPixel) ||
      !IsUsablePicture(src, width, height, srcRowBytes, bytesPerPixel) ||
      !IsUsablePicture(dst, width, height, dstRowBytes, bytesPerPixel) || src == dst)
    return 0;
  try {
    std::vector<double> xs(width), ys(width);
    const uint8_t fillBytes[4] = {uint8_t(fill), uint8_t(fill >> 8), uint8_t(fill >> 16),
                                  uint8_t(fill >> 24)};
    const auto* in = static_cast<const uint8_t*>(src);
    auto* out = static_cast<uint8_t*>(dst);
    for (uint32_t y = 0; y < height; ++y) {
      for (uint32_t x = 0; x < width; ++x) {
        xs[x] = x + 0.5;
        ys[x] = y + 0.5;
      }
      for (auto t = list.rbegin(); t != list.rend(); ++t) TraceBack(*t, xs.data(), ys.data(), width);
      uint8_t* row = out + static_cast<size_t>(y) * dstRowBytes;
      if (quality == 0)
        SampleNearest(in, width, height, bytesPerPixel, srcRowBytes, xs.data(), ys.data(), fillBytes, row, width);
      else
        SampleBilinear(in, width, height, bytesPerPixel, srcRowBytes, xs.data(), ys.data(), fillBytes, row, width);
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
