// The bodies of the effects that run the image library's filters. Each reads a canvas-sized
// source picture and writes the destination of the same size, and returns false (the route then
// writes nothing back) when the library refuses. The 32-bit bodies work on RGBA32 pictures, the
// 24-bit ones on RGB24. Sliders are read as percent (EffectCall::Percent, 0..100).
#pragma once

#include <cstdint>

#include "process/effect_call.h"

namespace process {

#define PALMORA_LIBRARY_BODY(Name)                                                         \
  bool Name(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width, \
            int32_t height)

// Library blurs, RGBA32 (premultiplied by the route).
PALMORA_LIBRARY_BODY(BlurBody);             // Gaussian of sigma slider 1 / 100 pixels
PALMORA_LIBRARY_BODY(BlurMoreBody);         // 1 + slider 1 x 0.09 passes of a 3 x 3 box
PALMORA_LIBRARY_BODY(GaussianBlurBody);     // radius 0.6..40.6, or a share of the canvas (option 3)
PALMORA_LIBRARY_BODY(MotionBlurBody);       // length slider 1 pixels at slider 2 x 3.6 degrees
PALMORA_LIBRARY_BODY(RadialBlurBody);       // spin of slider 1 x 0.9 degrees about sliders 2, 3
PALMORA_LIBRARY_BODY(ZoomBlurBody);         // zoom of slider 1 x 0.5 % towards sliders 2, 3
PALMORA_LIBRARY_BODY(MotionBlur2Body);      // trail of slider 1 pixels at slider 2 x 3.6 degrees
PALMORA_LIBRARY_BODY(RadialBlur2Body);      // smooth spin, arguments as Radial Blur
PALMORA_LIBRARY_BODY(ZoomBlur2Body);        // smooth zoom, arguments as Zoom Blur
PALMORA_LIBRARY_BODY(ArithmeticMeanBody);   // square of radius 1 + slider 1 / 10
PALMORA_LIBRARY_BODY(MidpointBody);         // square of radius 1 + slider 1 / 10
PALMORA_LIBRARY_BODY(MosaicBody);           // tiles of 2 + slider 1 x 0.62 pixels

// Library filters on RGB24.
PALMORA_LIBRARY_BODY(OilPaintBody);
PALMORA_LIBRARY_BODY(StippleBody);
PALMORA_LIBRARY_BODY(SurfaceBlurBody);
PALMORA_LIBRARY_BODY(NoiseReduction2Body);
PALMORA_LIBRARY_BODY(GrayscaleBody);
PALMORA_LIBRARY_BODY(NegativeBody);
PALMORA_LIBRARY_BODY(PosterizeBody);
PALMORA_LIBRARY_BODY(SolarizeBody);
PALMORA_LIBRARY_BODY(WatercolorTintBody);
PALMORA_LIBRARY_BODY(DustAndScratchesBody);
PALMORA_LIBRARY_BODY(HalftoneBody);
PALMORA_LIBRARY_BODY(ColorNoiseBody);
PALMORA_LIBRARY_BODY(HugoNoiseBody);
PALMORA_LIBRARY_BODY(PerlinNoiseBody);
PALMORA_LIBRARY_BODY(SharpenBody);
PALMORA_LIBRARY_BODY(SharpenMoreBody);
PALMORA_LIBRARY_BODY(UnsharpMaskBody);
PALMORA_LIBRARY_BODY(BevelBody);
PALMORA_LIBRARY_BODY(CrackleBody);
PALMORA_LIBRARY_BODY(EmbossBody);
PALMORA_LIBRARY_BODY(FingerprintBody);
PALMORA_LIBRARY_BODY(GausyBody);
PALMORA_LIBRARY_BODY(Edge2Body);

// Library filters on the source buffer 32 as the host last filled it, RGBA32.
PALMORA_LIBRARY_BODY(GeometricMeanBody);
PALMORA_LIBRARY_BODY(HarmonicMeanBody);
PALMORA_LIBRARY_BODY(Maximum2Body);
PALMORA_LIBRARY_BODY(Minimum2Body);
PALMORA_LIBRARY_BODY(MedianBody);
PALMORA_LIBRARY_BODY(HDRIBody);
PALMORA_LIBRARY_BODY(ReduceBody);
PALMORA_LIBRARY_BODY(FrostedGlassBody);

#undef PALMORA_LIBRARY_BODY

}  // namespace process
