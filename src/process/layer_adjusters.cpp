#include "process/layer_adjusters.h"

#include "process/effects/effect_context.h"
#include "process/hsl_hsv_adjust.h"

namespace process {

namespace {

struct Shifts {
  int32_t hue, saturation, lightness;
};

Shifts FromSliders(const EffectCall& call) {
  return {Trunc((call.Percent(1) - 50) * 3.6), Trunc((call.Percent(2) - 50) * 2.0),
          Trunc((call.Percent(3) - 50) * 2.0)};
}

}  // namespace

bool AdjustHSLBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  const Shifts s = FromSliders(call);
  return ProcessBuffer_HSLAdjust(pixels, width, height, s.hue, s.saturation, s.lightness);
}

bool AdjustHSVBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  const Shifts s = FromSliders(call);
  return ProcessBuffer_HSVAdjust(pixels, width, height, s.hue, s.saturation, s.lightness);
}

}  // namespace process
