#include "process/hsl_hsv_adjust.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "process/colour_models.h"

namespace process {
namespace {

struct Shifts {
  double hue;
  double saturation;
  double third;  // lightness or value
};

// A shift of whole turns changes nothing, so it is reduced to less than one turn first: the single
// wrap of the shifted hue then always lands inside 0..360.
Shifts ShiftsFrom(int32_t hue, int32_t saturation, int32_t third) {
  return {static_cast<double>(hue % 360), saturation * 0.01, third * 0.01};
}

double WrapHue(double hue) {
  if (hue > 360.0) return hue - 360.0;
  if (hue < 0.0) return hue + 360.0;
  return hue;
}

double Unit(double x) { return std::clamp(x, 0.0, 1.0); }

template <class PixelFn>
int32_t ForEachPixel(uint8_t* buffer, int32_t width, int32_t height, PixelFn fn) {
  // The result is the row length in bytes, which must fit the 32-bit result.
  if (!buffer || width <= 0 || height <= 0 || width > INT32_MAX / 4) return 0;
  const std::size_t count = std::size_t(width) * std::size_t(height);
  for (std::size_t i = 0; i < count; ++i) fn(buffer + 4 * i);
  return width * 4;
}

}  // namespace

int32_t ProcessBuffer_HSLAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hueShift,
                                int32_t saturationShift, int32_t lightnessShift) {
  const Shifts shift = ShiftsFrom(hueShift, saturationShift, lightnessShift);
  return ForEachPixel(buffer, width, height, [&](uint8_t* p) {
    double h, s, l;
    RGBToHSL(p[0], p[1], p[2], &h, &s, &l);
    // HSL gives greys hue 0, never -1, so greys take the hue shift and can gain saturation.
    h = WrapHue(h + shift.hue);
    s = Unit(s + shift.saturation);
    l = Unit(l + shift.third);
    HSLToRGB(h, s, l, &p[0], &p[1], &p[2]);
  });
}

int32_t ProcessBuffer_HSVAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hueShift,
                                int32_t saturationShift, int32_t valueShift) {
  const Shifts shift = ShiftsFrom(hueShift, saturationShift, valueShift);
  return ForEachPixel(buffer, width, height, [&](uint8_t* p) {
    double h, s, v;
    RGBToHSV(p[0], p[1], p[2], &h, &s, &v);
    if (h == -1.0) {
      // A grey has no hue to turn and no saturation to scale: only its value moves.
      h = 0.0;
      s = 0.0;
    } else {
      h = WrapHue(h + shift.hue);
      s = Unit(s + shift.saturation);
    }
    v = Unit(v + shift.third);
    HSVToRGB(h, s, v, &p[0], &p[1], &p[2]);
  });
}

}  // namespace process
