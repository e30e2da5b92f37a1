#include "process/effects/channel.h"

#include "process/effects/point_effect.h"

namespace process {

void Channel(EffectContext& context) {
  const bool steps[3] = {context.option3 == 1, context.option4 == 1, context.option5 == 1};
  ForEachPixel(context, [&](const uint8_t* in, uint8_t* out) {
    uint8_t p[4] = {in[0], in[1], in[2], in[3]};
    for (int c = 0; c < 3; ++c) {
      if (!steps[c]) continue;
      const uint8_t v = p[c];  // the channel as the previous step left it
      p[0] = p[1] = p[2] = 0;
      p[3] = 0;
      if (v > 0) {
        p[c] = 255;
        p[3] = v;
      }
    }
    for (int c = 0; c < 4; ++c) out[c] = p[c];
  });
}

}  // namespace process
