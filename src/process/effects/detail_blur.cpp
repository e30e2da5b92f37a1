#include "process/effects/detail_blur.h"

#include <cstdlib>

#include "process/effects/neighbourhood.h"

namespace process {

namespace {
constexpr double kNinth = 1.0 / 9;
}

void DetailBlur(EffectContext& context) {
  const int32_t t = Trunc(context.slider1 * 255);
  ForEachInnerPixel<1>(context, [&](const NeighbourRows<1>& around, uint8_t* out, int32_t x) {
    const int32_t mean = Trunc(around.LuminanceSum(x) * kNinth);
    if (std::abs(Luminance(around.At(x, 0, 0)) - mean) <= t) return;
    int32_t sums[4];
    for (int c = 0; c < 4; ++c) sums[c] = around.ChannelSum(x, c);
    for (int c = 0; c < 4; ++c) out[std::ptrdiff_t(x) * 4 + c] = ClampByte(Trunc(sums[c] * kNinth));
  });
}

}  // namespace process
