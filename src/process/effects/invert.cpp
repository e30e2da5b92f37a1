#include "process/effects/invert.h"

#include "process/effects/point_effect.h"

namespace process {

void Invert(EffectContext& context) {
  ForEachPixel(context, [](const uint8_t* in, uint8_t* out) {
    out[0] = static_cast<uint8_t>(255 - in[0]);
    out[1] = static_cast<uint8_t>(255 - in[1]);
    out[2] = static_cast<uint8_t>(255 - in[2]);
    out[3] = in[3];
  });
}

}  // namespace process
