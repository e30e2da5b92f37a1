#include "process/effects/value_blur.h"

#include <cstring>

#include "process/effects/smear_passes.h"

namespace process {

void ValueBlur(EffectContext& context) {
  context.chainFlag = 1;
  const uint32_t brighter = Weight65535(context.slider1);
  const uint32_t darker = Weight65535(context.slider2);
  RunSmearPasses<false>(context, [=](const uint8_t* prev, uint8_t* next, const uint8_t*) {
    const int32_t lp = Luminance(prev), ln = Luminance(next);
    const uint32_t w = lp > ln ? brighter : lp < ln ? darker : 0;
    // next' = (w * next + (65535 - w) * prev) / 2^16, each product first shifted by 8 so that
    // the sum stays within 32 bits; the result never passes 254. A weight of 0 (or equal
    // luminances) leaves the pixel alone, which the formula alone would not.
    uint8_t out[4];
    for (int c = 0; c < 4; ++c) {
      const uint32_t v = (((w * next[c]) >> 8) + (((65535 - w) * prev[c]) >> 8)) >> 8;
      out[c] = w ? static_cast<uint8_t>(v) : next[c];
    }
    std::memcpy(next, out, 4);
  });
}

}  // namespace process
