#include "process/effects/vignette.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/parallel_rows.h"
#include "imaging/gaussian_blur.h"
#include "imaging/shapes.h"
#include "process/effects/vignette_colour.h"

namespace process {

namespace {

// Draws the shape (255 inside, 0 outside) and blurs it: the weight plane.
bool MakeWeightPlane(const EffectContext& context, uint8_t* shape, uint8_t* weights) {
  const int32_t w = context.width, h = context.height;
  std::fill(shape, shape + std::size_t(w) * h, uint8_t{0});
  const int32_t shorter = std::min(w, h);
  const int32_t halfWidth = context.option7 == 1 ? shorter / 2 : w / 2;
  const int32_t halfHeight = context.option7 == 1 ? shorter / 2 : h / 2;
  const imaging::ImagePoint centre{w / 2, h / 2};
  int32_t drawn;
  if (context.option6 == 1) {
    const imaging::ImageRect rect{centre.x - halfWidth, centre.y - halfHeight, centre.x + halfWidth,
                                  centre.y + halfHeight};
    drawn = imaging::IS3FillSolidRect(shape, w, h, 1, w, rect, 255, 0);
  } else {
    drawn = imaging::IS3DrawEllipseOnImage(shape, w, h, 1, w, 255, centre, halfWidth, halfHeight, 1,
                                           1, 0, 0, imaging::kEllipseSmoothEdge);
  }
  double radius = shorter * 0.1 * context.slider4;
  if (radius == 0) radius = 0.1;
  return drawn && imaging::is5_GaussianBlurImage(shape, w, h, 1, w, weights, w, radius, 1);
}

inline uint8_t FractionToByte(double v) { return ClampTruncByte(std::clamp(v, 0.0, 1.0) * 255); }

}  // namespace

void Vignette(EffectContext& context) {
  const int32_t w = context.width, h = context.height;
  if (w <= 0 || h <= 0) return;
  const std::size_t planeBytes = engine::PlaneBytes(w, h, 1);
  engine::OwnedPlane<uint8_t> shape = engine::MakeOwnedPlane<uint8_t>(planeBytes);
  engine::OwnedPlane<uint8_t> weights = engine::MakeOwnedPlane<uint8_t>(planeBytes);
  if (!MakeWeightPlane(context, shape.get(), weights.get())) return;

  if (context.slider1 == 0) context.slider1 = 0.001;
  double target[3] = {context.slider1, context.slider2, context.slider3};
  if (context.option8 == 1) CurrentPaintColour(target);
  const bool tint = context.option3 == 1, invert = context.option5 == 1;
  const double k = context.option4 == 1 ? 0.0 : 1.0;

  // The result of a channel depends on its byte and the weight byte alone: one table per
  // channel over both, filled from the mixing rule (with the pixel as fractions of 255 and the
  // writer's limit to 0..1 and truncation), so the pass itself only looks up.
  engine::OwnedPlane<uint8_t> tables = engine::MakeOwnedPlane<uint8_t>(4 * 256 * 256);
  for (int32_t weight = 0; weight < 256; ++weight) {
    double v = weight * kInv255;
    if (invert) v = 1 - v;
    for (int32_t byte = 0; byte < 256; ++byte) {
      const double x = byte * kInv255;
      for (int c = 0; c < 3; ++c)
        tables[(c * 256 + weight) * 256 + byte] =
            FractionToByte(tint ? v * x + (1 - v) * target[c] : x);
      tables[(3 * 256 + weight) * 256 + byte] = FractionToByte(x * v + (1 - v) * k);
    }
  }
  // A clear pixel takes the vignette colour outright when tinting.
  const uint8_t clearColour[3] = {FractionToByte(target[0]), FractionToByte(target[1]),
                                  FractionToByte(target[2])};
  const uint8_t* table = tables.get();
  engine::ForRowBands(h, std::size_t(w) * 12, [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      const uint8_t* in = context.ReadRow(y);
      uint8_t* out = context.WriteRow(y);
      const uint8_t* weightRow = weights.get() + std::size_t(y) * w;
      for (int32_t x = 0; x < w; ++x) {
        const uint8_t* p = in + std::ptrdiff_t(x) * 4;
        uint8_t* q = out + std::ptrdiff_t(x) * 4;
        const std::size_t at = std::size_t(weightRow[x]) * 256;
        const uint8_t a = p[3];
        if (tint && a == 0) {
          q[0] = clearColour[0], q[1] = clearColour[1], q[2] = clearColour[2];
        } else {
          q[0] = table[at + p[0]];
          q[1] = table[256 * 256 + at + p[1]];
          q[2] = table[2 * 256 * 256 + at + p[2]];
        }
        q[3] = table[3 * 256 * 256 + at + a];
      }
    }
  });
}

}  // namespace process
