#include "process/hsl_hsv_adjust.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/parallel_rows.h"
#include "engine/colour_models.h"
#include "process/effects/colour_memo.h"

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

// The new colour depends on the three colour bytes alone, so bands of rows run in parallel and
// each remembers the colours it has converted (pictures repeat their colours, and a conversion
// both ways costs far more than a look-up). fn(r, g, b, out[3]) converts one colour; alpha stays.
template <class ColourFn>
int32_t ForEachPixel(uint8_t* buffer, int32_t width, int32_t height, const ColourFn& fn) {
  // The result is the row length in bytes, which must fit the 32-bit result.
  if (!buffer || width <= 0 || height <= 0 || width > INT32_MAX / 4) return 0;
  const std::size_t rowBytes = std::size_t(width) * 4;
  const std::size_t pixels = std::size_t(width) * std::size_t(height);
  // Setting up a memo costs about as much as converting this many pixels outright.
  constexpr std::size_t kMemoPays = std::size_t{1} << 16;
  if (pixels < kMemoPays) {
    for (std::size_t i = 0; i < pixels; ++i) {
      uint8_t* p = buffer + i * 4;
      fn(p[0], p[1], p[2], p);
    }
    return width * 4;
  }
  engine::ForRowBands(height, std::size_t(width) * 64, [&](int32_t begin, int32_t end) {
    ColourMemo memo;
    for (int32_t y = begin; y < end; ++y) {
      uint8_t* row = buffer + std::size_t(y) * rowBytes;
      for (int32_t x = 0; x < width; ++x) {
        uint8_t* p = row + std::size_t(x) * 4;
        memo.Map(p, p, fn);
      }
    }
  });
  return width * 4;
}

}  // namespace

int32_t ProcessBuffer_HSLAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hueShift,
                                int32_t saturationShift, int32_t lightnessShift) {
  const Shifts shift = ShiftsFrom(hueShift, saturationShift, lightnessShift);
  return ForEachPixel(buffer, width, height, [&](int r, int g, int b, uint8_t out[3]) {
    double h, s, l;
    engine::RGBToHSL(r, g, b, &h, &s, &l);
    // HSL gives greys hue 0, never -1, so greys take the hue shift and can gain saturation.
    h = WrapHue(h + shift.hue);
    s = Unit(s + shift.saturation);
    l = Unit(l + shift.third);
    engine::HSLToRGB(h, s, l, &out[0], &out[1], &out[2]);
  });
}

int32_t ProcessBuffer_HSVAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hueShift,
                                int32_t saturationShift, int32_t valueShift) {
  const Shifts shift = ShiftsFrom(hueShift, saturationShift, valueShift);
  return ForEachPixel(buffer, width, height, [&](int r, int g, int b, uint8_t out[3]) {
    double h, s, v;
    engine::RGBToHSV(r, g, b, &h, &s, &v);
    if (h == -1.0) {
      // A grey has no hue to turn and no saturation to scale: only its value moves.
      h = 0.0;
      s = 0.0;
    } else {
      h = WrapHue(h + shift.hue);
      s = Unit(s + shift.saturation);
    }
    v = Unit(v + shift.third);
    engine::HSVToRGB(h, s, v, &out[0], &out[1], &out[2]);
  });
}

}  // namespace process
