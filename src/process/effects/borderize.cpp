#include "process/effects/borderize.h"

#include <algorithm>

namespace process {

namespace {

void FillRowSpan(const EffectContext& context, int32_t y, int32_t x0, int32_t x1,
                 const uint8_t colour[3]) {
  if (y < 0 || y > context.lastRow) return;
  uint8_t* row = context.WriteRow(y);
  for (int32_t x = std::max(x0, 0); x <= std::min(x1, context.lastColumn); ++x)
    row[std::ptrdiff_t(x) * 4 + 0] = colour[0], row[std::ptrdiff_t(x) * 4 + 1] = colour[1],
                                row[std::ptrdiff_t(x) * 4 + 2] = colour[2];
}

void FillColumnSpan(const EffectContext& context, int32_t x, int32_t y0, int32_t y1,
                    const uint8_t colour[3]) {
  if (x < 0 || x > context.lastColumn) return;
  for (int32_t y = std::max(y0, 0); y <= std::min(y1, context.lastRow); ++y) {
    uint8_t* p = context.WriteRow(y) + std::ptrdiff_t(x) * 4;
    p[0] = colour[0], p[1] = colour[1], p[2] = colour[2];
  }
}

}  // namespace

void Borderize(EffectContext& context) {
  const int32_t w = context.width, h = context.height;
  const int32_t rings = Trunc(std::min(w, h) / 2 * context.slider2);
  const double g = context.slider1;
  for (int32_t k = 0; k < rings; ++k) {
    int32_t x, y;
    if (g < 0.25)
      x = Trunc(4 * g * w), y = k;
    else if (g < 0.5)
      x = w - 1 - k, y = Trunc(4 * (g - 0.25) * h);
    else if (g < 0.75)
      x = Trunc(w - w * 4 * (g - 0.5)), y = h - 1 - k;
    else
      x = k, y = Trunc(h - h * 4 * (g - 0.75));
    int32_t c[3];
    context.Read3(x, y, c);
    const uint8_t colour[3] = {ClampByte(c[0]), ClampByte(c[1]), ClampByte(c[2])};
    FillRowSpan(context, k, k, w - 1 - k, colour);
    FillRowSpan(context, h - 1 - k, k, w - 1 - k, colour);
    FillColumnSpan(context, k, k, h - 1 - k, colour);
    FillColumnSpan(context, w - 1 - k, k, h - 1 - k, colour);
  }
}

}  // namespace process
