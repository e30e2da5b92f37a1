// The image library's blurs, run on the premultiplied source buffer 32.
// Each body reads width x height pixels of the source and writes the destination, and returns
// false (nothing is written back) when the library refuses. Sliders are read as percent.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

bool BlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height);
inline constexpr EffectParameter kBlurParameters[] = {
    Slider(1, "softness", 500),
};
inline constexpr EffectDescriptor kBlurEffect =
    BufferRow("Blur", EffectRoute::kSource32, kPremultiplied, BlurBody, kBlurParameters,
              "Softens the picture with a small Gaussian blur.");

bool BlurMoreBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height);
inline constexpr EffectParameter kBlurMoreParameters[] = {
    Slider(1, "passes", 200),
};
inline constexpr EffectDescriptor kBlurMoreEffect =
    BufferRow("Blur More", EffectRoute::kSource32, kPremultiplied, BlurMoreBody,
              kBlurMoreParameters, "Softens strongly: repeated 3 x 3 box blurs.");

bool GaussianBlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                      int32_t width, int32_t height);
inline constexpr EffectParameter kGaussianBlurParameters[] = {
    Slider(1, "radius", 100),
    Option(3, "radius relative to canvas", 0, 1, 0),
};
inline constexpr EffectDescriptor kGaussianBlurEffect =
    BufferRow("Gaussian Blur", EffectRoute::kSource32, kPremultiplied, GaussianBlurBody,
              kGaussianBlurParameters, "Gaussian blur of a chosen radius.");

bool MotionBlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                    int32_t width, int32_t height);
inline constexpr EffectParameter kMotionBlurParameters[] = {
    Slider(1, "length", 200),
    Slider(2, "angle", 0),
};
inline constexpr EffectDescriptor kMotionBlurEffect =
    BufferRow("Motion Blur", EffectRoute::kSource32, kPremultiplied, MotionBlurBody,
              kMotionBlurParameters, "Blurs along a straight stroke, as if the camera moved.");

bool MotionBlur2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height);
inline constexpr EffectParameter kMotionBlur2Parameters[] = {
    Slider(1, "length", 200),
    Slider(2, "angle", 0),
};
inline constexpr EffectDescriptor kMotionBlur2Effect =
    BufferRow("Motion Blur 2", EffectRoute::kSource32, kPremultiplied, MotionBlur2Body,
              kMotionBlur2Parameters, "A smooth motion trail behind every pixel.");

bool RadialBlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                    int32_t width, int32_t height);
inline constexpr EffectParameter kRadialBlurParameters[] = {
    Slider(1, "angle", 100),
    Slider(2, "centre X", 500),
    Slider(3, "centre Y", 500),
};
inline constexpr EffectDescriptor kRadialBlurEffect =
    BufferRow("Radial Blur", EffectRoute::kSource32, kPremultiplied, RadialBlurBody,
              kRadialBlurParameters, "Spins the picture about a centre.");

bool RadialBlur2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height);
inline constexpr EffectParameter kRadialBlur2Parameters[] = {
    Slider(1, "angle", 100),
    Slider(2, "centre X", 500),
    Slider(3, "centre Y", 500),
};
inline constexpr EffectDescriptor kRadialBlur2Effect =
    BufferRow("Radial Blur 2", EffectRoute::kSource32, kPremultiplied, RadialBlur2Body,
              kRadialBlur2Parameters, "A smooth spin about a centre.");

bool ZoomBlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height);
inline constexpr EffectParameter kZoomBlurParameters[] = {
    Slider(1, "amount", 200),
    Slider(2, "centre X", 500),
    Slider(3, "centre Y", 500),
};
inline constexpr EffectDescriptor kZoomBlurEffect =
    BufferRow("Zoom Blur", EffectRoute::kSource32, kPremultiplied, ZoomBlurBody,
              kZoomBlurParameters, "Streaks the picture towards a centre, as if zooming.");

bool ZoomBlur2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height);
inline constexpr EffectParameter kZoomBlur2Parameters[] = {
    Slider(1, "amount", 200),
    Slider(2, "centre X", 500),
    Slider(3, "centre Y", 500),
};
inline constexpr EffectDescriptor kZoomBlur2Effect =
    BufferRow("Zoom Blur 2", EffectRoute::kSource32, kPremultiplied, ZoomBlur2Body,
              kZoomBlur2Parameters, "A smooth zoom towards a centre.");

bool ArithmeticMeanBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                        int32_t width, int32_t height);
inline constexpr EffectParameter kArithmeticMeanParameters[] = {
    Slider(1, "radius", 100),
};
inline constexpr EffectDescriptor kArithmeticMeanEffect =
    BufferRow("Arithmetic Mean", EffectRoute::kSource32, kPremultiplied, ArithmeticMeanBody,
              kArithmeticMeanParameters, "The average of each pixel's square neighbourhood.");

bool MidpointBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height);
inline constexpr EffectParameter kMidpointParameters[] = {
    Slider(1, "radius", 100),
};
inline constexpr EffectDescriptor kMidpointEffect =
    BufferRow("Midpoint", EffectRoute::kSource32, kPremultiplied, MidpointBody, kMidpointParameters,
              "Halfway between the brightest and darkest neighbour.");

bool MosaicBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height);
inline constexpr EffectParameter kMosaicParameters[] = {
    Slider(1, "tile size", 150),
};
inline constexpr EffectDescriptor kMosaicEffect =
    BufferRow("Mosaic", EffectRoute::kSource32, kPremultiplied, MosaicBody, kMosaicParameters,
              "Square tiles of the average colour.");

}  // namespace process
