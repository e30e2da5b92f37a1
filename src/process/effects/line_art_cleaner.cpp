#include "process/effects/line_art_cleaner.h"

#include <cstring>

#include "process/effects/effect_frame.h"
#include "process/effects/neighbourhood.h"
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
  ForEachInnerPixel<1>(context, [&](const NeighbourRows<1>& around, uint8_t* out, int32_t x) {
    const int32_t lum = Luminance(around.At(x, 0, 0));
    if (lum >= t1) return;
    if (lum < Trunc(around.LuminanceSum(x) * kNinth) - t2) {
      uint8_t* pixel = out + std::ptrdiff_t(x) * 4;
      pixel[0] = pixel[1] = pixel[2] = 255;
    }
  });
}

}  // namespace process
