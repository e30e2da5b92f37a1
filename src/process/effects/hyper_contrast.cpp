#include "process/effects/hyper_contrast.h"

#include <algorithm>

#include "process/effects/point_effect.h"

namespace process {

void HyperContrast(EffectContext& context) {
  int32_t a = Trunc((1 - context.slider1) * 255);
  if (a == 0) a = 1;
  if (a >= 250) a = 250;
  // a stays at most 250 but can be negative for sliders beyond 100 %; never 0.
  int32_t lighter[256], darker[256];
  for (int32_t x = 0; x < 256; ++x) {
    lighter[x] = 255 - (255 - x) * (255 - x) / a;
    darker[x] = x * x / a;
  }
  ForEachPixel(context, [&](const uint8_t* in, uint8_t* out) {
    // The HSL lightness, (max + min) / 2 of the channels as fractions.
    const double r = in[0] * kInv255, g = in[1] * kInv255, b = in[2] * kInv255;
    const double l = (std::max({r, g, b}) + std::min({r, g, b})) / 2.0;
    for (int c = 0; c < 3; ++c)
      out[c] = ClampByte(Trunc((1 - l) * lighter[in[c]] + l * darker[in[c]]));
    out[3] = in[3];
  });
}

}  // namespace process
