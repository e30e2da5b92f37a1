// Mask makers from canvas-sized images: exact colours, colour, alpha, luminance, hue and HSL
// ranges, flood maps and image differences. Unselected pixels keep their mask values.
#pragma once

#include <cstdint>

namespace mask {

void CreateMaskFromDiff_RGBA32(const uint8_t* imageA, const uint8_t* imageB, int32_t value);
void CreateMaskFromRGBAImageColor(const uint8_t* image, int32_t red, int32_t green, int32_t blue,
                                  int32_t amount);
void CreateMaskFromRGB24ImageColor(const uint8_t* image, int32_t red, int32_t green, int32_t blue,
                                   int32_t amount);
void CreateMaskFromRGBAImageColorRange(const uint8_t* image, int32_t red, int32_t green,
                                       int32_t blue, int32_t tolerancePercent, int32_t amount);
void CreateMaskFromRGBAImageAlphaRange(const uint8_t* image, int32_t alpha,
                                       int32_t tolerancePercent, int32_t amount);
void CreateMaskFromRGBAImageLuminanceRange(const uint8_t* image, int32_t red, int32_t green,
                                           int32_t blue, int32_t tolerancePercent, int32_t amount);
void CreateMaskFromRGBAImageHueRange(const uint8_t* image, int32_t red, int32_t green, int32_t blue,
                                     int32_t tolerancePercent, int32_t amount);
void CreateMaskFromRGBAImageHSLRange(const uint8_t* image, int32_t red, int32_t green, int32_t blue,
                                     double hueTolerance, double saturationTolerance,
                                     double lightnessTolerance, int32_t amount);
void CreateMaskFromFloodMask(const uint8_t* floodMap, int32_t amount);

// The hue test shared by the hue and HSL makers: h lies within t degrees of the key hue k, also
// across the wrap at 0/360 in either direction.
bool HueWithin(double h, double k, double t);

}  // namespace mask
