#include "process/effects/noise_reduction.h"

#include <cstdlib>
#include <cstring>

#include "process/effects/smear_passes.h"

namespace process {

void NoiseReduction(EffectContext& context) {
  // Slider 1 is the amount of smoothing; the weight kept by the pixel itself is 1 - amount / 2.
  context.slider1 = 1 - context.slider1 * 0.5;
  context.chainFlag = 1;
  const int32_t threshold = Trunc(context.slider2 * 255);
  const uint32_t k = Weight65535(context.slider1);
  RunSmearPasses<false>(context, [=](const uint8_t* prev, uint8_t* next, const uint8_t*) {
    const bool near = std::abs(Luminance(prev) - Luminance(next)) < threshold;
    uint8_t out[4];
    for (int c = 0; c < 4; ++c) {
      const uint32_t v = (((k * next[c]) >> 8) + (((65535 - k) * prev[c]) >> 8)) >> 8;
      out[c] = near ? static_cast<uint8_t>(v) : next[c];  // v never passes 255
    }
    std::memcpy(next, out, 4);
  });
}

}  // namespace process
