#include "imaging/script/paint_layer.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace imaging::script {
namespace {

float Coverage(double inside) { return static_cast<float>(std::clamp(inside, 0.0, 1.0)); }

// Distance from (px, py) to the segment (x0, y0)-(x1, y1), and the signed distance across it
// (positive to the segment's left as seen along it), both in pixels.
struct SegmentDistance {
  double along;
  double across;
  double t;  // where the nearest point lies on the segment, before it is limited to 0..1
};
// A segment's direction and length, worked out once for all the pixels near it.
struct Segment {
  Segment(double xa, double ya, double xb, double yb)
      : x0(xa),
        y0(ya),
        dx(xb - xa),
        dy(yb - ya),
        length2(dx * dx + dy * dy),
        length(std::sqrt(length2)) {}
  double x0, y0, dx, dy, length2, length;
};
SegmentDistance DistanceToSegment(double px, double py, const Segment& s) {
  const double projected =
      s.length2 > 0 ? ((px - s.x0) * s.dx + (py - s.y0) * s.dy) / s.length2 : 0.0;
  const double t = std::clamp(projected, 0.0, 1.0);
  const double qx = px - (s.x0 + t * s.dx), qy = py - (s.y0 + t * s.dy);
  const double across = s.length > 0 ? (qx * -s.dy + qy * s.dx) / s.length : 0.0;
  return {std::sqrt(qx * qx + qy * qy), across, projected};
}

// The columns of row y (pixel centres at y + 0.5) that can lie within reach of the segment:
// the nearest point of the segment to any of them lies within reach of the row, which bounds
// the part of the segment to look at. Long thin strokes visit a narrow band of each row, not
// their whole bounding box.
bool RowSpan(double xa, double ya, double xb, double yb, double reach, uint32_t y, double& left,
             double& right) {
  const double py = y + 0.5, dy = yb - ya;
  double t0 = 0, t1 = 1;
  if (std::fabs(dy) < 1e-9) {
    if (std::fabs(ya - py) > reach) return false;
  } else {
    t0 = (py - reach - ya) / dy, t1 = (py + reach - ya) / dy;
    if (t0 > t1) std::swap(t0, t1);
    if (t0 > 1 || t1 < 0) return false;
    t0 = std::max(t0, 0.0), t1 = std::min(t1, 1.0);
  }
  const double x0 = xa + (xb - xa) * t0, x1 = xa + (xb - xa) * t1;
  left = std::min(x0, x1) - reach, right = std::max(x0, x1) + reach;
  return true;
}

// Separable blends on channels 0..1: d the picture, s the painted colour.
float SoftLightDarken(float d) { return d <= 0.25f ? ((16 * d - 12) * d + 4) * d : std::sqrt(d); }
float Mix(MixMode mode, float d, float s) {
  switch (mode) {
    case MixMode::kMultiply:
      return s * d;
    case MixMode::kScreen:
      return s + d - s * d;
    case MixMode::kOverlay:
      return d < 0.5f ? 2 * s * d : 1 - 2 * (1 - s) * (1 - d);
    case MixMode::kDarken:
      return std::min(s, d);
    case MixMode::kLighten:
      return std::max(s, d);
    case MixMode::kAdd:
      return std::min(1.0f, s + d);
    case MixMode::kSubtract:
      return std::max(0.0f, d - s);
    case MixMode::kDifference:
      return std::fabs(d - s);
    case MixMode::kDodge:
      return d <= 0 ? 0 : s >= 1 ? 1 : std::min(1.0f, d / (1 - s));
    case MixMode::kBurn:
      return d >= 1 ? 1 : s <= 0 ? 0 : 1 - std::min(1.0f, (1 - d) / s);
    case MixMode::kHardLight:
      return s < 0.5f ? 2 * s * d : 1 - 2 * (1 - s) * (1 - d);
    case MixMode::kSoftLight:
      return s <= 0.5f ? d - (1 - 2 * s) * d * (1 - d) : d + (2 * s - 1) * (SoftLightDarken(d) - d);
    case MixMode::kExclusion:
      return s + d - 2 * s * d;
    default:
      return s;
  }
}

uint8_t ToByte(float unit) {
  return static_cast<uint8_t>(std::clamp(unit, 0.0f, 1.0f) * 255 + 0.5f);
}

}  // namespace

Rgb RgbFromPacked(uint32_t packed) {
  return {static_cast<float>(packed & 0xFF), static_cast<float>((packed >> 8) & 0xFF),
          static_cast<float>((packed >> 16) & 0xFF)};
}

MixMode MixModeFromValue(double value) {
  if (!(value >= 0 && value < kMixModeCount)) return MixMode::kNormal;
  return static_cast<MixMode>(static_cast<uint32_t>(value));
}

void LayPixel(uint8_t* p, const uint8_t* l, MixMode mode) {
  const float la = l[3] / 255.0f;
  if (mode == MixMode::kReplace) {
    for (int c = 0; c < 3; ++c) p[c] = l[3] ? ToByte(l[c] / 255.0f / la) : 0;
    p[3] = l[3];
    return;
  }
  if (l[3] == 0) return;
  const float da = p[3] / 255.0f;
  float s[3], d[3];
  for (int c = 0; c < 3; ++c) s[c] = std::min(1.0f, l[c] / 255.0f / la), d[c] = p[c] / 255.0f;
  switch (mode) {
    case MixMode::kErase:
      p[3] = ToByte(da * (1 - la));
      return;
    case MixMode::kColourOnly:
      for (int c = 0; c < 3; ++c) p[c] = ToByte(d[c] + (s[c] - d[c]) * la);
      return;
    case MixMode::kBehind: {
      const float ao = da + la * (1 - da);
      for (int c = 0; c < 3; ++c) p[c] = ToByte((d[c] * da + s[c] * la * (1 - da)) / ao);
      p[3] = ToByte(ao);
      return;
    }
    default: {
      // The painted colour over the picture, blended where both are present: where the picture
      // is transparent the paint shows as it is.
      const float ao = la + da * (1 - la);
      for (int c = 0; c < 3; ++c) {
        const float blended = Mix(mode, d[c], s[c]);
        p[c] = ToByte((s[c] * la * (1 - da) + blended * la * da + d[c] * da * (1 - la)) / ao);
      }
      p[3] = ToByte(ao);
    }
  }
}

void LayRow(uint8_t* picture, const uint8_t* layer, uint32_t n, MixMode mode) {
  static constexpr uint8_t kNothing[4] = {0, 0, 0, 0};
  if (!layer) {
    // Transparent paint changes nothing, except that Replace clears what lies under it.
    if (mode == MixMode::kReplace)
      for (uint32_t x = 0; x < n; ++x) LayPixel(picture + size_t{x} * 4, kNothing, mode);
    return;
  }
  const bool copiesOpaque = mode == MixMode::kNormal || mode == MixMode::kReplace;
  for (uint32_t x = 0; x < n; ++x, picture += 4, layer += 4) {
    if (layer[3] == 255 && copiesOpaque) {
      // Opaque paint over anything is the paint itself: the colour divided by an alpha of one
      // and rounded back to a byte is the byte it was.
      picture[0] = layer[0], picture[1] = layer[1], picture[2] = layer[2], picture[3] = 255;
    } else if (layer[3] != 0 || mode == MixMode::kReplace) {
      LayPixel(picture, layer, mode);
    }
  }
}

void ForRowChunks(uint32_t height, size_t scratchBytes,
                  const std::function<void(uint32_t, uint8_t*)>& row) {
  // A few chunks a thread, so that uneven rows still spread; each chunk's scratch is made before
  // any row runs.
  const uint32_t chunks =
      std::min<uint32_t>(height, 4 * uint32_t(std::max(1, cv::getNumThreads())));
  if (chunks == 0) return;
  const size_t stride = (scratchBytes + 63) & ~size_t{63};
  std::vector<uint8_t> scratch(stride * chunks + 64);
  uint8_t* base = scratch.data() + ((64 - reinterpret_cast<uintptr_t>(scratch.data()) % 64) % 64);
  cv::parallel_for_(
      cv::Range(0, int(chunks)),
      [&](const cv::Range& range) {
        for (int c = range.start; c < range.end; ++c) {
          const uint32_t first = uint32_t(uint64_t{height} * uint32_t(c) / chunks);
          const uint32_t end = uint32_t(uint64_t{height} * uint32_t(c + 1) / chunks);
          for (uint32_t y = first; y < end; ++y) row(y, base + stride * size_t(c));
        }
      },
      double(chunks));
}

void PaintRowsOnto(const Picture& picture, MixMode mode, size_t scratchBytes,
                   const std::function<void(uint32_t, uint8_t*, uint8_t*)>& paintRow) {
  const size_t rowBytes = size_t{picture.width} * 4;
  const size_t scratchAt = (rowBytes + 63) & ~size_t{63};
  ForRowChunks(picture.height, scratchAt + scratchBytes, [&](uint32_t y, uint8_t* scratch) {
    std::fill(scratch, scratch + rowBytes, uint8_t{0});
    paintRow(y, scratch, scratch + scratchAt);
    LayRow(picture.pixels + size_t{y} * rowBytes, scratch, picture.width, mode);
  });
}

PaintLayer::PaintLayer(uint32_t width, uint32_t height)
    : width_(width),
      height_(height),
      tilesX_((width + kTile - 1) >> kTileShift),
      tilesY_((height + kTile - 1) >> kTileShift),
      tiles_(size_t{tilesX_} * tilesY_ * kTileBytes),
      painted_(size_t{tilesX_} * tilesY_, 0) {}

PaintLayer::~PaintLayer() {
  // The painted tiles cleared, the block can serve the next layer as fresh zero pages.
  for (size_t t = 0; t < painted_.size(); ++t)
    if (painted_[t]) std::memset(tiles_.data() + t * kTileBytes, 0, kTileBytes);
  tiles_.Recycle();
}

uint8_t* PaintLayer::Pixel(uint32_t x, uint32_t y) {
  const size_t tile = size_t{y >> kTileShift} * tilesX_ + (x >> kTileShift);
  painted_[tile] = 1;
  return tiles_.data() + tile * kTileBytes +
         ((size_t{y & (kTile - 1)} << kTileShift) + (x & (kTile - 1))) * 4;
}

void PaintLayer::ForRowBands(const std::function<void(uint32_t, uint32_t)>& paint) {
  cv::parallel_for_(cv::Range(0, static_cast<int>(tilesY_)), [&](const cv::Range& bands) {
    for (int b = bands.start; b < bands.end; ++b) {
      const uint32_t first = uint32_t(b) << kTileShift;
      paint(first, std::min(height_, first + kTile));
    }
  });
}

// The pixels of one layer row inside the layer, found a tile at a time as a shape's loop walks
// along the row; a tile counts as painted once a pixel of it is asked for.
class PaintLayer::RowCursor {
 public:
  RowCursor(PaintLayer& layer, uint32_t y) : layer_(layer), y_(y) {}
  uint8_t* At(uint32_t x) {
    if (x - start_ >= kTile) {
      start_ = x & ~(kTile - 1);
      base_ = layer_.Pixel(start_, y_);
    }
    return base_ + size_t{x - start_} * 4;
  }

 private:
  PaintLayer& layer_;
  uint32_t y_;
  uint32_t start_ = ~0u - kTile;  // no tile yet: every x lies outside it
  uint8_t* base_ = nullptr;
};

void PaintLayer::BlendSpan(uint32_t y, uint32_t from, uint32_t to, const Rgb& colour,
                           float opacity) {
  if (!(opacity > 0)) return;
  // The same sums BlendPixel makes, with the paint's share worked out once.
  const float a = std::min(opacity, 1.0f), keep = 1 - a;
  const float paint[4] = {colour.blue * a, colour.green * a, colour.red * a, 255 * a};
  while (from < to) {
    const uint32_t end = std::min(to, (from | (kTile - 1)) + 1);
    uint8_t* p = Pixel(from, y);
    for (uint32_t n = (end - from) * 4, i = 0; i < n; ++i)
      p[i] = static_cast<uint8_t>(paint[i & 3] + p[i] * keep + 0.5f);
    from = end;
  }
}

void PaintLayer::Blend(int64_t x, int64_t y, const Rgb& colour, float opacity) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || !(opacity > 0)) return;
  BlendPixel(Pixel(uint32_t(x), uint32_t(y)), colour, opacity);
}

void PaintLayer::SetOpaque(uint32_t x, uint32_t y, const Rgb& colour) {
  SetOpaquePixel(Pixel(x, y), colour);
}

bool PaintLayer::Clip(double left, double top, double right, double bottom, uint32_t& x0,
                      uint32_t& y0, uint32_t& x1, uint32_t& y1) const {
  if (!(left < width_ && top < height_ && right >= 0 && bottom >= 0)) return false;
  x0 = static_cast<uint32_t>(std::max(0.0, std::floor(left)));
  y0 = static_cast<uint32_t>(std::max(0.0, std::floor(top)));
  x1 = static_cast<uint32_t>(std::min<double>(width_, std::ceil(right) + 1));
  y1 = static_cast<uint32_t>(std::min<double>(height_, std::ceil(bottom) + 1));
  return x0 < x1 && y0 < y1;
}

void PaintLayer::Disc(double cx, double cy, double radius, const Rgb& colour, float opacity) {
  Ring(cx, cy, 0, radius, colour, opacity);
}

void PaintLayer::Ring(double cx, double cy, double radius, double halfWidth, const Rgb& colour,
                      float opacity) {
  const double reach = radius + halfWidth + 1;
  uint32_t x0, y0, x1, y1;
  if (!Clip(cx - reach, cy - reach, cx + reach, cy + reach, x0, y0, x1, y1)) return;
  // A pixel is covered only while its centre lies nearer than the outer edge plus half a pixel;
  // inside a disc's edge less half a pixel it is wholly covered. Each row visits the columns
  // between the two and works out coverage only near the edge. The bounds keep a small margin
  // each way, far above the rounding of the distances, so that they never decide a pixel the
  // distance itself would decide otherwise.
  constexpr double kMargin = 1e-4;
  const double outer = radius + halfWidth + 0.5;
  const double solid = radius == 0 ? halfWidth - 0.5 : -1;
  for (uint32_t y = y0; y < y1; ++y) {
    const double dy = y + 0.5 - cy;
    if (std::fabs(dy) > outer + kMargin) continue;
    const double half = std::sqrt(std::max(0.0, outer * outer - dy * dy)) + kMargin;
    const uint32_t from =
        std::max<uint32_t>(x0, static_cast<uint32_t>(std::max(0.0, std::floor(cx - half))));
    const uint32_t to =
        std::min<uint32_t>(x1, static_cast<uint32_t>(std::max(0.0, std::ceil(cx + half) + 1)));
    // The wholly covered columns, solidFrom..solidTo (none when solidFrom >= solidTo).
    uint32_t solidFrom = from, solidTo = from;
    if (solid > 1 && solid * solid - dy * dy > 1) {
      const double inner = std::sqrt(solid * solid - dy * dy) - kMargin;
      solidFrom = std::clamp<uint32_t>(
          static_cast<uint32_t>(std::max(0.0, std::ceil(cx - inner - 0.5))), from, to);
      solidTo = std::clamp<uint32_t>(
          static_cast<uint32_t>(std::max(0.0, std::floor(cx + inner - 0.5) + 1)), solidFrom, to);
    }
    RowCursor row(*this, y);
    const auto edge = [&](uint32_t x) {
      const double dx = x + 0.5 - cx;
      const double distance = std::sqrt(dx * dx + dy * dy);
      const float c = Coverage(halfWidth + 0.5 - std::fabs(distance - radius));
      if (c > 0) BlendPixel(row.At(x), colour, c * opacity);
    };
    for (uint32_t x = from; x < solidFrom; ++x) edge(x);
    if (solidTo > solidFrom) BlendSpan(y, solidFrom, solidTo, colour, opacity);
    for (uint32_t x = solidTo; x < to; ++x) edge(x);
  }
}

void PaintLayer::Capsule(double xa, double ya, double xb, double yb, double radius,
                         const Rgb& colour, float opacity, bool startCap) {
  const double reach = radius + 1;
  uint32_t x0, y0, x1, y1;
  if (!Clip(std::min(xa, xb) - reach, std::min(ya, yb) - reach, std::max(xa, xb) + reach,
            std::max(ya, yb) + reach, x0, y0, x1, y1))
    return;
  const Segment segment(xa, ya, xb, yb);
  for (uint32_t y = y0; y < y1; ++y) {
    double left, right;
    if (!RowSpan(xa, ya, xb, yb, reach, y, left, right)) continue;
    const uint32_t from =
        std::max<uint32_t>(x0, static_cast<uint32_t>(std::max(0.0, std::floor(left))));
    const uint32_t to =
        std::min<uint32_t>(x1, static_cast<uint32_t>(std::max(0.0, std::ceil(right) + 1)));
    RowCursor row(*this, y);
    for (uint32_t x = from; x < to; ++x) {
      const SegmentDistance d = DistanceToSegment(x + 0.5, y + 0.5, segment);
      if (!startCap && d.t <= 0) continue;
      const float c = Coverage(radius + 0.5 - d.along);
      if (c > 0) BlendPixel(row.At(x), colour, c * opacity);
    }
  }
}

void PaintLayer::Tube(double xa, double ya, double xb, double yb, double radius, const Rgb& colour,
                      float opacity) {
  const double reach = radius + 1;
  uint32_t x0, y0, x1, y1;
  if (!Clip(std::min(xa, xb) - reach, std::min(ya, yb) - reach, std::max(xa, xb) + reach,
            std::max(ya, yb) + reach, x0, y0, x1, y1))
    return;
  // The across direction (unit, to the left of the way the segment runs) and the light from
  // the upper left, a little toward the viewer.
  const double dx = xb - xa, dy = yb - ya, length = std::hypot(dx, dy);
  const double nx = length > 0 ? -dy / length : 0, ny = length > 0 ? dx / length : 1;
  constexpr double kLx = -0.45, kLy = -0.55, kLz = 0.70;
  const Segment segment(xa, ya, xb, yb);
  for (uint32_t y = y0; y < y1; ++y) {
    double left, right;
    if (!RowSpan(xa, ya, xb, yb, reach, y, left, right)) continue;
    const uint32_t from =
        std::max<uint32_t>(x0, static_cast<uint32_t>(std::max(0.0, std::floor(left))));
    const uint32_t to =
        std::min<uint32_t>(x1, static_cast<uint32_t>(std::max(0.0, std::ceil(right) + 1)));
    RowCursor row(*this, y);
    for (uint32_t x = from; x < to; ++x) {
      const SegmentDistance d = DistanceToSegment(x + 0.5, y + 0.5, segment);
      const float c = Coverage(radius + 0.5 - d.along);
      if (c <= 0) continue;
      // The tube's surface normal at this distance across: round in section.
      const double s = radius > 0 ? std::clamp(d.across / radius, -1.0, 1.0) : 0.0;
      const double nz = std::sqrt(1 - s * s);
      const double lit = std::max(0.0, s * nx * kLx + s * ny * kLy + nz * kLz);
      const float shade = static_cast<float>(0.3 + 0.9 * lit);
      const double lit2 = lit * lit, lit8 = lit2 * lit2 * lit2 * lit2;
      const float shine = static_cast<float>(lit8 * lit8 * lit8 * 90);  // a tight highlight: lit^24
      const Rgb shaded{std::min(255.0f, colour.red * shade + shine),
                       std::min(255.0f, colour.green * shade + shine),
                       std::min(255.0f, colour.blue * shade + shine)};
      BlendPixel(row.At(x), shaded, c * opacity);
    }
  }
}

void PaintLayer::Box(double cx, double cy, double hx, double hy, double angle, double halfWidth,
                     const Rgb& colour, float opacity) {
  const double reach = std::hypot(hx, hy) + halfWidth + 1;
  uint32_t x0, y0, x1, y1;
  if (!Clip(cx - reach, cy - reach, cx + reach, cy + reach, x0, y0, x1, y1)) return;
  const double cosA = std::cos(angle), sinA = std::sin(angle);
  for (uint32_t y = y0; y < y1; ++y) {
    RowCursor row(*this, y);
    for (uint32_t x = x0; x < x1; ++x) {
      const double px = x + 0.5 - cx, py = y + 0.5 - cy;
      const double qx = std::fabs(cosA * px + sinA * py) - hx;
      const double qy = std::fabs(-sinA * px + cosA * py) - hy;
      // Signed distance to the rectangle's edge, negative inside.
      const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
      const double signedDistance = outside + std::min(std::max(qx, qy), 0.0);
      const float c = halfWidth > 0 ? Coverage(halfWidth + 0.5 - std::fabs(signedDistance))
                                    : Coverage(0.5 - signedDistance);
      if (c > 0) BlendPixel(row.At(x), colour, c * opacity);
    }
  }
}

void PaintLayer::LayOnto(const Picture& picture, MixMode mode) const {
  const size_t rowBytes = size_t{width_} * 4;
  cv::parallel_for_(cv::Range(0, static_cast<int>(tilesY_)), [&](const cv::Range& bands) {
    for (int b = bands.start; b < bands.end; ++b)
      for (uint32_t t = 0; t < tilesX_; ++t) {
        const size_t index = size_t(b) * tilesX_ + t;
        // An unpainted tile changes nothing, except that Replace clears what lies under it.
        const uint8_t* tile = painted_[index] ? tiles_.data() + index * kTileBytes : nullptr;
        if (!tile && mode != MixMode::kReplace) continue;
        const uint32_t x0 = t << kTileShift, x1 = std::min(width_, x0 + kTile);
        const uint32_t y0 = uint32_t(b) << kTileShift, y1 = std::min(height_, y0 + kTile);
        for (uint32_t y = y0; y < y1; ++y)
          LayRow(picture.pixels + size_t{y} * rowBytes + size_t{x0} * 4,
                 tile ? tile + (size_t{y - y0} << kTileShift) * 4 : nullptr, x1 - x0, mode);
      }
  });
}

}  // namespace imaging::script
