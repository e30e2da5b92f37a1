#include "process/effects/clamp.h"

#include "process/effects/point_effect.h"

namespace process {

void Clamp(EffectContext& context) {
  const double t1 = context.slider1 * 255, t2 = context.slider3 * 255;
  const int32_t r1 = Trunc(context.slider2 * 255), r2 = Trunc(context.slider4 * 255);
  const bool enabled[4] = {context.option3 == 1, context.option4 == 1, context.option5 == 1,
                           context.option6 == 1};
  // The result depends on the byte alone: one table per channel.
  uint8_t table[4][256];
  for (int c = 0; c < 4; ++c) {
    for (int32_t v = 0; v < 256; ++v) {
      int32_t r = v;
      if (enabled[c]) {
        if (r < t1) r = r1;
        if (r > t2) r = r2;
      }
      table[c][v] = ClampByte(r);
    }
  }
  ForEachPixel(context, [&](const uint8_t* in, uint8_t* out) {
    for (int c = 0; c < 4; ++c) out[c] = table[c][in[c]];
  });
}

}  // namespace process
