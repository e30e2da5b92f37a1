// Value Blur: a smear directed by luminance. Along each scan, a pixel is pulled towards its
// predecessor by one weight when the predecessor is brighter and by another when it is darker.
#include "process/effects/own_effects.h"
#include "process/effects/smear_passes.h"

namespace process {

void ValueBlur(EffectContext& context) {
  context.chainFlag = 1;
  const uint32_t brighter = Weight65535(context.slider1);
  const uint32_t darker = Weight65535(context.slider2);
  RunSmearPasses<false>(context, [=](const uint8_t* prev, uint8_t* next, const uint8_t*) {
    const int32_t lp = Luminance(prev), ln = Luminance(next);
    const uint32_t w = lp > ln ? brighter : lp < ln ? darker : 0;
    if (w == 0) return;
    // next' = (w * next + (65535 - w) * prev) / 2^16, each product first shifted by 8 so that
    // the sum stays within 32 bits; the result can never pass 254, the clamp only guards it.
    for (int c = 0; c < 4; ++c) {
      const uint32_t v = (((w * next[c]) >> 8) + (((65535 - w) * prev[c]) >> 8)) >> 8;
      next[c] = static_cast<uint8_t>(v > 255 ? 255 : v);
    }
  });
}

}  // namespace process
