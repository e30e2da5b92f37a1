#include "process/effects/fader.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_queries.h"
#include "engine/parallel_rows.h"
#include "engine/colour_models.h"

namespace process {

namespace {

// The value at i of a ramp from a at first to b at last; a region one pixel across stays at a.
double Ramp(double a, double b, int32_t i, int32_t first, int32_t last) {
  if (last <= first) return a;
  return a + (b - a) * (i - first) / (last - first);
}

// The bounding box of the pixels with non-zero alpha in the plane the effect reads; false when
// there are none.
bool PlaneContentBounds(const EffectContext& context, int32_t* left, int32_t* top, int32_t* right,
                        int32_t* bottom) {
  int32_t l = context.width, t = context.height, r = -1, b = -1;
  for (int32_t y = 0; y < context.height; ++y) {
    const uint8_t* row = context.ReadRow(y);
    for (int32_t x = 0; x < context.width; ++x) {
      if (row[std::ptrdiff_t(x) * 4 + 3] == 0) continue;
      l = std::min(l, x), r = std::max(r, x);
      t = std::min(t, y), b = y;
    }
  }
  *left = l, *top = t, *right = r, *bottom = b;
  return r >= 0;
}

// The region a fade over the content covers. On the canvas that is the current layer's content
// (every pixel whose 16-bit alpha is not 0, so faint edges an 8-bit copy rounds to 0 still count);
// a caller's picture has no layer behind it and gives its own content. False when there is none.
bool ContentBounds(const EffectContext& context, int32_t* left, int32_t* top, int32_t* right,
                   int32_t* bottom) {
  if (!context.onCanvas) return PlaneContentBounds(context, left, top, right, bottom);
  const int32_t layer = engine::State().currentLayerIndex;
  return engine::FindDataExtentsLayer(layer, left, top, right, bottom) && *left <= *right &&
         *top <= *bottom;
}

}  // namespace

void Fader(EffectContext& context) {
  int32_t left = 0, top = 0, right = context.lastColumn, bottom = context.lastRow;
  if (context.option3 == 1 && !ContentBounds(context, &left, &top, &right, &bottom)) return;
  left = std::max(left, 0), top = std::max(top, 0);
  right = std::min(right, context.lastColumn), bottom = std::min(bottom, context.lastRow);
  const bool saturation = context.option4 == 1, lightness = context.option5 == 1;
  const bool alpha = context.option6 == 1;
  if (left > right || top > bottom || (!saturation && !lightness && !alpha)) return;
  // The horizontal ramp is the same on every row: one value per column of the region.
  engine::OwnedPlane<double> fx = engine::MakeOwnedPlane<double>(std::size_t(right - left) + 1);
  for (int32_t x = left; x <= right; ++x)
    fx[x - left] = Ramp(2 * context.slider3, 2 * context.slider4, x, left, right);
  // Every pixel reads only itself: bands of rows run in parallel.
  engine::ForRowBands(
      bottom - top + 1, std::size_t(right - left + 1) * 64, [&](int32_t begin, int32_t end) {
        for (int32_t y = top + begin; y < top + end; ++y) {
          const double fy = Ramp(2 * context.slider1, 2 * context.slider2, y, top, bottom);
          const uint8_t* in = context.ReadRow(y);
          uint8_t* out = context.WriteRow(y);
          for (int32_t x = left; x <= right; ++x) {
            const double f = fx[x - left] * fy;
            const uint8_t* p = in + std::ptrdiff_t(x) * 4;
            uint8_t* q = out + std::ptrdiff_t(x) * 4;
            const uint8_t a = p[3];
            if (saturation || lightness) {
              double h, s, l;
              engine::RGBToHSL(p[0], p[1], p[2], &h, &s, &l);
              if (saturation) s = std::clamp(s * f, 0.0, 1.0);
              if (lightness) l = std::clamp(l * f, 0.0, 1.0);
              engine::HSLToRGB(h, s, l, &q[0], &q[1], &q[2]);
            } else {
              q[0] = p[0], q[1] = p[1], q[2] = p[2];
            }
            q[3] = alpha ? ClampTruncByte(f * a) : a;
          }
        }
      });
}

}  // namespace process
