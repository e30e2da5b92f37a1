#include "engine/colour_models.h"

#include <algorithm>
#include <cmath>

namespace engine {
namespace {

constexpr double kInv255 = 0.00392156862745098;

// x * 255 truncated toward zero, kept to its low byte. Callers pass fractions in 0..1; anything
// that would not fit an int (or is not a number) gives 0 instead of undefined behaviour.
uint8_t ByteFromUnit(double unit) {
  const double scaled = unit * 255.0;
  if (!(scaled > -2147483648.0 && scaled < 2147483648.0)) return 0;
  return static_cast<uint8_t>(static_cast<int32_t>(scaled));
}

// One HSL channel from the hue angle x (degrees), wrapped once into 0..360.
double HueRamp(double lo, double hi, double x) {
  if (x > 360.0) x -= 360.0;
  if (x < 0.0) x += 360.0;
  if (x < 60.0) return lo + (hi - lo) * x / 60.0;
  if (x < 180.0) return hi;
  if (x < 240.0) return lo + (hi - lo) * (240.0 - x) / 60.0;
  return lo;
}

// The sRGB transfer curve, from the linear value to the companded one.
double Compand(double u) {
  return u > 0.0031308 ? 1.055 * std::pow(u, 0.4166666666666667) - 0.055 : 12.92 * u;
}

double Linearise(int channel) {
  const double u = channel / 255.0;
  const double linear =
      u > 0.04045 ? std::pow((u + 0.055) * 0.9478672985781991, 2.4) : u * 0.07739938080495357;
  return linear * 100.0;
}

double LabF(double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 0.13793103448275862; }

double LabInverseF(double f) {
  const double cube = f * f * f;
  return cube > 0.008856 ? cube : (f - 0.13793103448275862) * 0.1284191601386927;
}

// x * 255 truncated to an integer, then limited to 0..255 (gamut clipping, not wrapping).
uint8_t ClampedByteFromUnit(double unit) {
  const double scaled = unit * 255.0;
  if (!(scaled > 0.0)) return 0;  // also catches NaN
  if (scaled >= 255.0) return 255;
  return static_cast<uint8_t>(static_cast<int32_t>(scaled));
}

}  // namespace

void RGBToHSV(int red, int green, int blue, double* hue, double* saturation, double* value) {
  const double r = red * kInv255, g = green * kInv255, b = blue * kInv255;
  const double max = std::max({r, g, b}), min = std::min({r, g, b});
  const double delta = max - min;
  *value = max;
  if (delta == 0.0) {
    *hue = -1.0;
    *saturation = 0.0;
    return;
  }
  *saturation = delta / max;
  double h;
  if (r == max)
    h = (g - b) / delta;
  else if (g == max)
    h = (b - r) / delta + 2.0;
  else
    h = (r - g) / delta + 4.0;
  h *= 60.0;
  if (h < 0.0) h += 360.0;
  *hue = h;
}

void HSVToRGB(double hue, double saturation, double value, uint8_t* red, uint8_t* green,
              uint8_t* blue) {
  const double v = value, s = saturation;
  double r = v, g = v, b = v;
  if (s != 0.0) {
    const double h = (hue == 360.0 ? 0.0 : hue) / 60.0;
    const double i = std::floor(h);
    const double f = h - i;
    const double p = v * (1.0 - s), q = v * (1.0 - s * f), t = v * (1.0 - s * (1.0 - f));
    // A hue outside 0..360 has no sector; it is folded back so the result stays defined.
    int sector = std::isfinite(i) ? static_cast<int>(std::fmod(i, 6.0)) : 0;
    if (sector < 0) sector += 6;
    switch (sector) {
      case 0:
        r = v, g = t, b = p;
        break;
      case 1:
        r = q, g = v, b = p;
        break;
      case 2:
        r = p, g = v, b = t;
        break;
      case 3:
        r = p, g = q, b = v;
        break;
      case 4:
        r = t, g = p, b = v;
        break;
      default:
        r = v, g = p, b = q;
        break;
    }
  }
  *red = ByteFromUnit(r);
  *green = ByteFromUnit(g);
  *blue = ByteFromUnit(b);
}

void RGBToHSL(int red, int green, int blue, double* hue, double* saturation, double* lightness) {
  const double r = red * kInv255, g = green * kInv255, b = blue * kInv255;
  const double max = std::max({r, g, b}), min = std::min({r, g, b});
  const double l = (max + min) / 2.0;
  const double delta = max - min;
  *lightness = l;
  if (delta == 0.0) {
    *hue = 0.0;
    *saturation = 0.0;
    return;
  }
  *saturation = l < 0.5 ? delta / (max + min) : delta / (2.0 - max - min);
  const double dr = ((max - r) / 6.0 + delta / 2.0) / delta;
  const double dg = ((max - g) / 6.0 + delta / 2.0) / delta;
  const double db = ((max - b) / 6.0 + delta / 2.0) / delta;
  double h;
  if (r == max)
    h = db - dg;
  else if (g == max)
    h = 1.0 / 3.0 + dr - db;
  else
    h = 2.0 / 3.0 + dg - dr;
  if (h < 0.0) h += 1.0;
  if (h > 1.0) h -= 1.0;
  *hue = h * 360.0;
}

void HSLToRGB(double hue, double saturation, double lightness, uint8_t* red, uint8_t* green,
              uint8_t* blue) {
  const double l = lightness, s = saturation;
  if (s == 0.0) {
    *red = *green = *blue = ByteFromUnit(l);
    return;
  }
  const double hi = l < 0.5 ? l * (1.0 + s) : l + s - l * s;
  const double lo = 2.0 * l - hi;
  *red = ByteFromUnit(HueRamp(lo, hi, hue + 120.0));
  *green = ByteFromUnit(HueRamp(lo, hi, hue));
  *blue = ByteFromUnit(HueRamp(lo, hi, hue - 120.0));
}

void RGBToXYZ(int red, int green, int blue, double* x, double* y, double* z) {
  const double r = Linearise(red), g = Linearise(green), b = Linearise(blue);
  *x = std::max(0.0, 0.4124 * r + 0.3576 * g + 0.1805 * b);
  *y = std::max(0.0, 0.2126 * r + 0.7152 * g + 0.0722 * b);
  *z = std::max(0.0, 0.0193 * r + 0.1192 * g + 0.9505 * b);
}

void XYZToLab(double x, double y, double z, double* l, double* a, double* b) {
  const double fx = LabF(x * 0.010521110608435826);
  const double fy = LabF(y * 0.01);
  const double fz = LabF(z * 0.009184170164304804);
  *l = 116.0 * fy - 16.0;
  *a = 500.0 * (fx - fy);
  *b = 200.0 * (fy - fz);
}

void LabToXYZ(double l, double a, double b, double* x, double* y, double* z) {
  const double fy = (l + 16.0) * 0.008620689655172414;
  const double fx = fy + a * 0.002;
  const double fz = fy - b * 0.005;
  *x = std::max(0.0, 95.047 * LabInverseF(fx));
  *y = std::max(0.0, 100.0 * LabInverseF(fy));
  *z = std::max(0.0, 108.883 * LabInverseF(fz));
}

void XYZToRGB(double x, double y, double z, uint8_t* red, uint8_t* green, uint8_t* blue) {
  x *= 0.01;
  y *= 0.01;
  z *= 0.01;
  const double r = 3.2406 * x - 1.5372 * y - 0.4986 * z;
  const double g = -0.9689 * x + 1.8758 * y + 0.0415 * z;
  const double b = 0.0557 * x - 0.2040 * y + 1.0570 * z;
  *red = ClampedByteFromUnit(Compand(r));
  *green = ClampedByteFromUnit(Compand(g));
  *blue = ClampedByteFromUnit(Compand(b));
}

void LabToRGB(double l, double a, double b, uint8_t* red, uint8_t* green, uint8_t* blue) {
  double x, y, z;
  LabToXYZ(l, a, b, &x, &y, &z);
  XYZToRGB(x, y, z, red, green, blue);
}

void CMYToCMYK(double cyan, double magenta, double yellow, double* c, double* m, double* y,
               double* k) {
  const double black = std::min({1.0, cyan, magenta, yellow});
  if (black == 1.0) {
    *c = *m = *y = 0.0;
  } else {
    *c = (cyan - black) / (1.0 - black);
    *m = (magenta - black) / (1.0 - black);
    *y = (yellow - black) / (1.0 - black);
  }
  *k = black;
}

void CMYToRGB(double cyan, double magenta, double yellow, uint8_t* red, uint8_t* green,
              uint8_t* blue) {
  *red = ByteFromUnit(1.0 - cyan);
  *green = ByteFromUnit(1.0 - magenta);
  *blue = ByteFromUnit(1.0 - yellow);
}

void CMYKToRGB(double cyan, double magenta, double yellow, double black, uint8_t* red,
               uint8_t* green, uint8_t* blue) {
  CMYToRGB(black + (1.0 - black) * cyan, black + (1.0 - black) * magenta,
           black + (1.0 - black) * yellow, red, green, blue);
}

}  // namespace engine
