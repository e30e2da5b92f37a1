// Effect 17, divider: cuts the picture into a grid of panes with bars of a colour between them,
// each pane bevelled (lit along its top and left, shaded along its bottom and right) like glass
// set in a window frame. Slots: 1 columns, 2 rows, 4 bar colour (packed red | green << 8 | blue
// << 16), 5 bar width in pixels, 6 bevel %.
#include <algorithm>
#include <cmath>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunDivider(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const double columns = Limited(values[1], 1, 1000), rows = Limited(values[2], 1, 1000);
  const Rgb bar = RgbFromPacked(BitsFromValue(values[4]));
  const double half = Limited(values[5], 0, 1000) / 2;
  const double bevel = Limited(values[6], 0, 100) / 100;
  const double paneW = double(picture.width) / columns, paneH = double(picture.height) / rows;
  const double band = std::max(1.0, std::min(paneW, paneH) * 0.08);
  const uint8_t barBytes[3] = {uint8_t(bar.blue), uint8_t(bar.green), uint8_t(bar.red)};
  for (uint32_t y = 0; y < picture.height; ++y) {
    const double v = std::fmod(y + 0.5, paneH);
    const double fromTop = v, fromBottom = paneH - v;
    for (uint32_t x = 0; x < picture.width; ++x) {
      uint8_t* p = picture.pixels + (size_t{y} * picture.width + x) * 4;
      const double u = std::fmod(x + 0.5, paneW);
      const double fromLeft = u, fromRight = paneW - u;
      // Bars straddle the pane boundaries, the outer frame included.
      if (std::min({fromLeft, fromRight, fromTop, fromBottom}) < half) {
        for (int c = 0; c < 3; ++c) p[c] = barBytes[c];
        p[3] = 255;
        continue;
      }
      // Light from the upper left: the bevel band brightens near the top and left edges and
      // darkens near the bottom and right.
      const auto ramp = [&](double d) { return std::max(0.0, 1 - (d - half) / band); };
      const double light =
          (std::max(ramp(fromTop), ramp(fromLeft)) - std::max(ramp(fromBottom), ramp(fromRight))) *
          bevel * 0.5;
      for (int c = 0; c < 3; ++c) {
        const double value = light > 0 ? p[c] + (255 - p[c]) * light : p[c] * (1 + light);
        p[c] = uint8_t(std::clamp(value, 0.0, 255.0) + 0.5);
      }
    }
  }
  return true;
}

}  // namespace imaging::script
