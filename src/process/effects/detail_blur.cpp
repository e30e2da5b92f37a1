// Detail Blur: a 3 x 3 box mean applied only where a pixel stands out from its neighbourhood by
// more than the threshold, so that fine speckle is smoothed and flat areas are left alone.
#include <cstdlib>

#include "process/effects/own_effects.h"

namespace process {

namespace {
constexpr double kNinth = 1.0 / 9;
}

void DetailBlur(EffectContext& context) {
  const int32_t t = Trunc(context.slider1 * 255);
  for (int32_t y = 1; y < context.lastRow; ++y) {
    // With the chain flag set the rows read are the rows written: neighbours above and to the
    // left have already been blurred when this pixel is reached.
    const uint8_t* above = context.ReadRow(y - 1);
    const uint8_t* here = context.ReadRow(y);
    const uint8_t* below = context.ReadRow(y + 1);
    uint8_t* out = context.WriteRow(y);
    for (int32_t x = 1; x < context.lastColumn; ++x) {
      const std::ptrdiff_t l = std::ptrdiff_t(x - 1) * 4, m = l + 4, r = l + 8;
      const int32_t lumSum = Luminance(above + l) + Luminance(above + m) + Luminance(above + r) +
                             Luminance(here + l) + Luminance(here + m) + Luminance(here + r) +
                             Luminance(below + l) + Luminance(below + m) + Luminance(below + r);
      const int32_t mean = Trunc(lumSum * kNinth);
      if (std::abs(Luminance(here + m) - mean) <= t) continue;
      int32_t sums[4];
      for (int c = 0; c < 4; ++c)
        sums[c] = above[l + c] + above[m + c] + above[r + c] + here[l + c] + here[m + c] +
                  here[r + c] + below[l + c] + below[m + c] + below[r + c];
      for (int c = 0; c < 4; ++c) out[m + c] = ClampByte(Trunc(sums[c] * kNinth));
    }
  }
}

}  // namespace process
