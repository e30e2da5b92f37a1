#include "process/effects/noise_reduction_rgb.h"

#include <cstdlib>

#include "process/effects/smear_passes.h"

namespace process {

void NoiseReductionRGB(EffectContext& context) {
  context.slider1 = 1 - context.slider1 * 0.5;
  context.slider3 = 1 - context.slider3 * 0.5;
  context.slider5 = 1 - context.slider5 * 0.5;
  context.chainFlag = 1;
  const int32_t threshold[3] = {Trunc(context.slider2 * 255), Trunc(context.slider4 * 255),
                                Trunc(context.slider6 * 255)};
  const uint32_t k[3] = {Weight65535(context.slider1), Weight65535(context.slider3),
                         Weight65535(context.slider5)};
  RunSmearPasses<false>(context, [&](const uint8_t* prev, uint8_t* next, const uint8_t*) {
    for (int c = 0; c < 3; ++c) {
      if (std::abs(int32_t{prev[c]} - int32_t{next[c]}) >= threshold[c]) continue;
      const uint32_t v = (((prev[c] * (65535 - k[c])) >> 8) + ((k[c] * next[c]) >> 8)) >> 8;
      next[c] = static_cast<uint8_t>(v > 255 ? 255 : v);
    }
  });
}

}  // namespace process
