// Bas Relief: each pixel's lightness and saturation are pushed away from those of one neighbour
// (left, upper or upper-left), so that edges facing the light rise and the others sink.
#include <algorithm>

#include "engine/heap.h"
#include "engine/parallel_rows.h"
#include "process/colour_models.h"
#include "process/effects/own_effects.h"

namespace process {

namespace {

struct Hsl {
  double h, s, l;
};

Hsl HslOf(const uint8_t* p) {
  Hsl c;
  RGBToHSL(p[0], p[1], p[2], &c.h, &c.s, &c.l);
  return c;
}

// The pixel's HSL moved away from its neighbour's by s, written through the HSL writer.
inline void Relief(const EffectContext& context, int32_t x, int32_t y, Hsl p, const Hsl& n,
                   double s) {
  if (p.l > n.l)
    p.l += (1 - p.l) * s;
  else if (p.l < n.l)
    p.l -= p.l * s;
  if (p.s > n.s)
    p.s += (1 - p.s) * s;
  else if (p.s < n.s)
    p.s -= p.s * s;
  context.WriteHSL(x, y, p.h, std::clamp(p.s, 0.0, 1.0), std::clamp(p.l, 0.0, 1.0));
}

}  // namespace

void BasRelief(EffectContext& context) {
  // The neighbour chosen by option 1; any other value compares the pixel with itself.
  int32_t dx = 0, dy = 0;
  if (context.option1 == 0) dx = -1;
  if (context.option1 == 1) dy = -1;
  if (context.option1 == 2) dx = -1, dy = -1;
  const double s = context.slider1;
  const int32_t w = context.width;
  if (context.lastRow < 2 || context.lastColumn < 2) return;

  if (context.chainFlag) {
    // Reading what is being written: neighbours to the left and above are already relieved.
    for (int32_t y = 1; y < context.lastRow; ++y)
      for (int32_t x = 1; x < context.lastColumn; ++x)
        Relief(context, x, y, HslOf(context.ReadRow(y) + std::ptrdiff_t(x) * 4),
               HslOf(context.ReadRow(y + dy) + std::ptrdiff_t(x + dx) * 4), s);
    return;
  }
  // From the unchanging source every pixel's HSL is needed twice (as itself and as a
  // neighbour): each band converts its rows once, keeping one row until the next has used it.
  const int32_t inner = context.lastRow - 1;  // rows 1 .. lastRow - 1
  engine::ForRowBands(inner, std::size_t(w) * 96, [&](int32_t begin, int32_t end) {
    engine::OwnedPlane<Hsl> rows = engine::MakeOwnedPlane<Hsl>(std::size_t(w) * 2);
    Hsl* previous = rows.get();
    Hsl* current = rows.get() + w;
    const int32_t first = 1 + begin;
    for (int32_t x = 0; x < w; ++x)
      previous[x] = HslOf(context.ReadRow(first - 1) + std::ptrdiff_t(x) * 4);
    for (int32_t y = first; y < 1 + end; ++y) {
      const uint8_t* row = context.ReadRow(y);
      for (int32_t x = 0; x < w; ++x) current[x] = HslOf(row + std::ptrdiff_t(x) * 4);
      const Hsl* neighbours = dy ? previous : current;
      for (int32_t x = 1; x < context.lastColumn; ++x)
        Relief(context, x, y, current[x], neighbours[x + dx], s);
      std::swap(previous, current);
    }
  });
}

}  // namespace process
