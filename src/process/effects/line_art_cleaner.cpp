// Line Art Cleaner: turns scanned line art into clean black and white. The picture is first
// thresholded; then dark pixels that are clearly darker than their 3 x 3 surroundings (isolated
// specks left by the threshold) are turned white.
#include <cstring>

#include "process/effects/effect_frame.h"
#include "process/effects/own_effects.h"

namespace process {

namespace {
constexpr double kNinth = 1.0 / 9;
}

void LineArtCleaner(EffectContext& context) {
  const int32_t t1 = Trunc(context.slider1 * 255);
  const int32_t t2 = Trunc(context.slider2 * 255);

  // Step 1: the threshold, shown in the current layer at once, becomes the new source.
  ThresholdPixels(context, t1);
  if (context.onCanvas) LoadDestinationIntoCurrentLayer(context.destination, context.rowBytes);
  for (int32_t y = 0; y < context.height; ++y)
    std::memcpy(context.source + std::ptrdiff_t(y) * context.rowBytes, context.WriteRow(y),
                std::size_t(context.width) * 4);

  // Step 2: remove specks.
  for (int32_t y = 1; y < context.lastRow; ++y) {
    const uint8_t* above = context.ReadRow(y - 1);
    const uint8_t* here = context.ReadRow(y);
    const uint8_t* below = context.ReadRow(y + 1);
    uint8_t* out = context.WriteRow(y);
    for (int32_t x = 1; x < context.lastColumn; ++x) {
      const std::ptrdiff_t l = std::ptrdiff_t(x - 1) * 4, m = l + 4, r = l + 8;
      const int32_t lum = Luminance(here + m);
      if (lum >= t1) continue;
      const int32_t sum = Luminance(above + l) + Luminance(above + m) + Luminance(above + r) +
                          Luminance(here + l) + lum + Luminance(here + r) + Luminance(below + l) +
                          Luminance(below + m) + Luminance(below + r);
      if (lum < Trunc(sum * kNinth) - t2) out[m] = out[m + 1] = out[m + 2] = 255;
    }
  }
}

}  // namespace process
