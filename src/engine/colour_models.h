// Conversions between 8-bit RGB and the HSV, HSL, CIE XYZ, CIE L*a*b*, CMY and CMYK models. Pure
// functions in double precision; results that become bytes take x * 255 truncated toward zero.
// Output pointers may alias the inputs (Lab is made from XYZ in place).
#pragma once

#include <cstdint>

namespace engine {

// Hue in degrees [0, 360), or -1 for a grey; saturation and value 0..1.
void RGBToHSV(int red, int green, int blue, double* hue, double* saturation, double* value);
// Hue 0..360 (360 reads as 0); callers keep it in range.
void HSVToRGB(double hue, double saturation, double value, uint8_t* red, uint8_t* green,
              uint8_t* blue);

// Hue in degrees 0..360 (0 for a grey); saturation and lightness 0..1.
void RGBToHSL(int red, int green, int blue, double* hue, double* saturation, double* lightness);
void HSLToRGB(double hue, double saturation, double lightness, uint8_t* red, uint8_t* green,
              uint8_t* blue);

// sRGB with the D65 white: X 95.047, Y 100, Z 108.883.
void RGBToXYZ(int red, int green, int blue, double* x, double* y, double* z);
void XYZToLab(double x, double y, double z, double* l, double* a, double* b);
void LabToXYZ(double l, double a, double b, double* x, double* y, double* z);
// Out-of-gamut results are clamped to 0..255.
void XYZToRGB(double x, double y, double z, uint8_t* red, uint8_t* green, uint8_t* blue);
void LabToRGB(double l, double a, double b, uint8_t* red, uint8_t* green, uint8_t* blue);

void CMYToCMYK(double cyan, double magenta, double yellow, double* c, double* m, double* y,
               double* k);
// Callers pass components in 0..1; nothing is clamped.
void CMYToRGB(double cyan, double magenta, double yellow, uint8_t* red, uint8_t* green,
              uint8_t* blue);
void CMYKToRGB(double cyan, double magenta, double yellow, double black, uint8_t* red,
               uint8_t* green, uint8_t* blue);

}  // namespace engine
