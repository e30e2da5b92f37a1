#include "process/effects/adaptive_blur.h"

#include "process/effects/neighbourhood.h"

namespace process {

void AdaptiveBlur(EffectContext& context) {
  const double g = (1 - context.slider1) * 255;
  const double brighterWeight = context.slider2, darkerWeight = context.slider3;
  ForEachInnerPixel<1>(context, [&](const NeighbourRows<1>& around, uint8_t* out, int32_t x) {
    const uint8_t* here = around.At(x, 0, 0);
    // Neighbours in the order left, right, upper, lower.
    const uint8_t* n[4] = {around.At(x, -1, 0), around.At(x, 1, 0), around.At(x, 0, -1),
                           around.At(x, 0, 1)};
    const int32_t l = Luminance(here);
    bool decided = false;
    double w = 0;
    for (const uint8_t* neighbour : n) {
      const int32_t nl = Luminance(neighbour);
      if (l - nl > g) {
        w = brighterWeight, decided = true;
        break;
      }
      if (nl - l > g) {
        w = darkerWeight, decided = true;
        break;
      }
    }
    if (!decided) return;
    int32_t q[4];
    for (int c = 0; c < 4; ++c) {
      const int32_t p = Trunc(here[c] * (1 - w));
      int32_t s = 0;
      for (const uint8_t* neighbour : n) s = Trunc(neighbour[c] * w + s + p);
      q[c] = s / 4;
    }
    for (int c = 0; c < 4; ++c) out[std::ptrdiff_t(x) * 4 + c] = ClampByte(q[c]);
  });
}

}  // namespace process
