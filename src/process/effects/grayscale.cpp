#include "process/effects/grayscale.h"

#include "process/effects/point_effect.h"

namespace process {

void Grayscale(EffectContext& context) {
  ForEachPixel(context, [](const uint8_t* in, uint8_t* out) {
    const uint8_t l = static_cast<uint8_t>(Luminance(in));
    out[0] = out[1] = out[2] = l;
    out[3] = in[3];
  });
}

}  // namespace process
