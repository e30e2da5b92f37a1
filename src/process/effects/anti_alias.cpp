#include "process/effects/anti_alias.h"

#include "process/effects/smear_passes.h"

namespace process {

void AntiAlias(EffectContext& context) {
  context.chainFlag = 1;
  const int32_t t1 = Trunc((1 - context.slider3) * 255);
  const int32_t t2 = Trunc((1 - context.slider4) * 255);
  const double s1 = context.slider1, s2 = context.slider2;
  RunSmearPasses<true>(context, [=](const uint8_t* current, uint8_t* next, const uint8_t* beside) {
    const int32_t lc = Luminance(current), ln = Luminance(next);
    const int32_t d = beside ? Luminance(beside) : 0;  // outside the picture reads as black
    double keep;
    if (lc - ln > t1 && lc <= d)
      keep = s1;
    else if (ln - lc > t2 && d <= lc)
      keep = s2;
    else
      return;
    for (int c = 0; c < 4; ++c) next[c] = ClampTruncByte(next[c] * keep + current[c] * (1 - keep));
  });
}

}  // namespace process
