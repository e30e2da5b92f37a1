// Tone curves: brightness and contrast, gamma, lookup tables, and histogram equalisation and
// stretching. Each works in place on a picture of 3 or 4 bytes a pixel (red first); a fourth
// byte (alpha) is left alone. Each returns 1, or 0 for a bad picture or argument with nothing
// changed.
#pragma once

#include <cstdint>

namespace imaging {

// Brightness and contrast, both -1..1 (values beyond are limited; 0 and 0 change nothing): each
// colour sample x becomes round(255 v) limited to 0..255, where v = (x / 255 + brightness - 0.5)
// x f + 0.5 and f = tan((contrast + 1) x pi / 4), so -1 flattens to mid grey and 1 is a hard
// threshold at the middle. colourOnly must be 1 (the only mode there is).
int32_t IS3AdjustBrightnessContrast(void* pixels, uint32_t width, uint32_t height,
                                    uint32_t bytesPerPixel, uint32_t rowBytes, double brightness,
                                    double contrast, uint32_t colourOnly);

// Gamma: each colour sample x becomes round(255 (x / 255)^(1 / gamma)); 1 changes nothing, above
// 1 lightens. Fails for a gamma that is not a positive finite number. With alphaToo set the
// fourth byte is corrected as well.
int32_t IS3AdjustGamma(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t rowBytes, double gamma, uint32_t alphaToo);

// Replaces every sample of channel c by table c (256 entries); a null table leaves its channel.
int32_t IS40_ApplyLUTsToImage(void* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                              uint32_t rowBytes, const uint8_t* table0, const uint8_t* table1,
                              const uint8_t* table2, const uint8_t* table3);

// Equalises the histogram of the brightness (the largest colour sample of each pixel): the
// brightness b becomes the equalised e(b) of the standard cumulative mapping and the three
// samples are scaled by e(b) / b (rounded, limited to 255), which keeps each pixel's hue.
int32_t IS40_BrightnessHistogramEqualizeImage(void* pixels, uint32_t width, uint32_t height,
                                              uint32_t bytesPerPixel, uint32_t rowBytes);
// Stretches the brightness range to 0..255: the darkest and brightest lowClip and highClip
// fractions (0..0.5) of the pixels are cut, and every colour sample x becomes
// round(255 (x - low) / (high - low)) limited to 0..255, the same for the three channels.
int32_t IS40_BrightnessHistogramStretchImage(void* pixels, uint32_t width, uint32_t height,
                                             uint32_t bytesPerPixel, uint32_t rowBytes,
                                             double lowClip, double highClip);
// The same two for each colour channel on its own (the colour balance shifts with them).
int32_t IS40_HistogramEqualizeImage(void* pixels, uint32_t width, uint32_t height,
                                    uint32_t bytesPerPixel, uint32_t rowBytes);
int32_t IS40_HistogramStretchImage(void* pixels, uint32_t width, uint32_t height,
                                   uint32_t bytesPerPixel, uint32_t rowBytes, double lowClip,
                                   double highClip);
// Stretches the HSL lightness of the picture to the full range, keeping hue and saturation.
int32_t IS3BrightnessHistogramStretchImageInHSL(void* pixels, uint32_t width, uint32_t height,
                                                uint32_t bytesPerPixel, uint32_t rowBytes);

}  // namespace imaging
