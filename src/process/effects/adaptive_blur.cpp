// Adaptive Blur: a pixel that stands out from one of its four neighbours by more than the
// threshold is pulled towards the mean of the four, with one weight when it is the brighter and
// another when it is the darker; the rest is left alone.
#include "process/effects/own_effects.h"

namespace process {

void AdaptiveBlur(EffectContext& context) {
  const double g = (1 - context.slider1) * 255;
  const double brighterWeight = context.slider2, darkerWeight = context.slider3;
  for (int32_t y = 1; y < context.lastRow; ++y) {
    const uint8_t* above = context.ReadRow(y - 1);
    const uint8_t* here = context.ReadRow(y);
    const uint8_t* below = context.ReadRow(y + 1);
    uint8_t* out = context.WriteRow(y);
    for (int32_t x = 1; x < context.lastColumn; ++x) {
      const std::ptrdiff_t m = std::ptrdiff_t(x) * 4;
      // Neighbours in the order left, right, upper, lower.
      const uint8_t* n[4] = {here + m - 4, here + m + 4, above + m, below + m};
      const int32_t l = Luminance(here + m);
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
      if (!decided) continue;
      int32_t q[4];
      for (int c = 0; c < 4; ++c) {
        const int32_t p = Trunc(here[m + c] * (1 - w));
        int32_t s = 0;
        for (const uint8_t* neighbour : n) s = Trunc(neighbour[c] * w + s + p);
        q[c] = s / 4;
      }
      for (int c = 0; c < 4; ++c) out[m + c] = ClampByte(q[c]);
    }
  }
}

}  // namespace process
