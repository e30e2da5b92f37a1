// Bas Relief: each pixel's lightness and saturation are pushed away from those of one neighbour
// (left, upper or upper-left), so that edges facing the light rise and the others sink.
#include <algorithm>

#include "process/colour_models.h"
#include "process/effects/own_effects.h"

namespace process {

void BasRelief(EffectContext& context) {
  // The neighbour chosen by option 1; any other value compares the pixel with itself.
  int32_t dx = 0, dy = 0;
  if (context.option1 == 0) dx = -1;
  if (context.option1 == 1) dy = -1;
  if (context.option1 == 2) dx = -1, dy = -1;
  const double s = context.slider1;
  for (int32_t y = 1; y < context.lastRow; ++y) {
    const uint8_t* here = context.ReadRow(y);
    const uint8_t* other = context.ReadRow(y + dy);
    for (int32_t x = 1; x < context.lastColumn; ++x) {
      const uint8_t* p = here + std::ptrdiff_t(x) * 4;
      const uint8_t* n = other + std::ptrdiff_t(x + dx) * 4;
      double h, sat, l, nh, nsat, nl;
      RGBToHSL(p[0], p[1], p[2], &h, &sat, &l);
      RGBToHSL(n[0], n[1], n[2], &nh, &nsat, &nl);
      if (l > nl)
        l += (1 - l) * s;
      else if (l < nl)
        l -= l * s;
      if (sat > nsat)
        sat += (1 - sat) * s;
      else if (sat < nsat)
        sat -= sat * s;
      context.WriteHSL(x, y, h, std::clamp(sat, 0.0, 1.0), std::clamp(l, 0.0, 1.0));
    }
  }
}

}  // namespace process
