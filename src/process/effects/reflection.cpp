#include "process/effects/reflection.h"

#include <algorithm>

namespace process {

namespace {

// The lowest row of column x whose alpha is above threshold, searching from the bottom row up to
// (and including) row stop; -1 when there is none.
int32_t LowestRowAbove(const EffectContext& context, int32_t x, int32_t stop, int32_t threshold) {
  for (int32_t y = context.lastRow; y >= stop; --y)
    if (context.ReadRow(y)[std::ptrdiff_t(x) * 4 + 3] > threshold) return y;
  return -1;
}

}  // namespace

void Reflection(EffectContext& context) {
  const int32_t h = context.height;
  const int32_t m0 = std::max(Trunc((1 - context.slider1) * (h - 1)), 0);
  // One mirror row for every column: the lowest nearly opaque row found in any column.
  int32_t shared = 0;
  if (context.option3 == 1) {
    for (int32_t x = 0; x < context.width; ++x)
      shared = std::max(shared, LowestRowAbove(context, x, 0, 253));
  }
  // The fade loses slider 2 x slider 3 over every sixteenth of the height. A picture under 16
  // rows high fades over one row per step instead of dividing by nothing.
  const int32_t fadeRows = std::max(h / 16, 1);
  const double fadeStep = (context.slider2 - (1 - context.slider3) * context.slider2) / fadeRows;
  const double readStep = context.slider4 * 4;
  for (int32_t x = 0; x < context.width; ++x) {
    int32_t n;
    if (context.option3 == 1) {
      n = shared;
    } else if (context.option4 == 1) {
      n = m0 - 1;
    } else {
      n = LowestRowAbove(context, x, m0 + 1, 0);
      if (n < 0) n = m0 - 1;
    }
    n = std::max(n, 0);
    if (n >= h - 1) continue;
    double r = n - 1;
    double f = context.slider2;
    for (int32_t j = n; j < h; ++j) {
      int32_t p[4];
      context.Read4(x, Trunc(r), p);
      context.Write4(x, j, p[0], p[1], p[2], Trunc(p[3] * f));
      r -= readStep;
      f -= fadeStep;
    }
  }
}

}  // namespace process
