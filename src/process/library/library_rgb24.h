// The image library's tone, detail and noise filters, run on the 24-bit buffers: the layer's
// alpha stays as it was.
// Each body reads width x height pixels of the source and writes the destination, and returns
// false (nothing is written back) when the library refuses. Sliders are read as percent.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

bool SurfaceBlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height);
inline constexpr EffectParameter kSurfaceBlurParameters[] = {
    Slider(1, "radius", 200),
    Slider(2, "threshold", 300),
};
inline constexpr EffectDescriptor kSurfaceBlurEffect =
    BufferRow("Surface Blur", EffectRoute::kRgb24, kAsItIs, SurfaceBlurBody, kSurfaceBlurParameters,
              "Smooths surfaces and keeps the edges.");

bool NoiseReduction2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                         int32_t width, int32_t height);
inline constexpr EffectParameter kNoiseReduction2Parameters[] = {
    Slider(1, "strength", 300),
};
inline constexpr EffectDescriptor kNoiseReduction2Effect =
    BufferRow("Noise Reduction 2", EffectRoute::kRgb24, kAsItIs, NoiseReduction2Body,
              kNoiseReduction2Parameters, "Smooths grain while keeping edges.");

bool GrayscaleBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height);
inline constexpr EffectDescriptor kGrayscaleEffect = BufferRow(
    "Grayscale", EffectRoute::kRgb24, kAsItIs, GrayscaleBody, {}, "Turns the colours into greys.");

bool NegativeBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height);
inline constexpr EffectDescriptor kNegativeEffect =
    BufferRow("Negative", EffectRoute::kRgb24, kAsItIs, NegativeBody, {},
              "Turns every colour into its opposite.");

bool PosterizeBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height);
inline constexpr EffectParameter kPosterizeParameters[] = {
    Slider(1, "levels", 100),
};
inline constexpr EffectDescriptor kPosterizeEffect =
    BufferRow("Posterize", EffectRoute::kRgb24, kAsItIs, PosterizeBody, kPosterizeParameters,
              "Reduces each channel to a few levels.");

bool SolarizeBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height);
inline constexpr EffectParameter kSolarizeParameters[] = {
    Slider(1, "threshold", 500),
};
inline constexpr EffectDescriptor kSolarizeEffect =
    BufferRow("Solarize", EffectRoute::kRgb24, kAsItIs, SolarizeBody, kSolarizeParameters,
              "Turns over the tones above a threshold.");

bool DustAndScratchesBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                          int32_t width, int32_t height);
inline constexpr EffectParameter kDustAndScratchesParameters[] = {
    Slider(1, "radius", 100),
    Slider(2, "threshold", 150),
};
inline constexpr EffectDescriptor kDustAndScratchesEffect =
    BufferRow("Dust and Scratches", EffectRoute::kRgb24, kAsItIs, DustAndScratchesBody,
              kDustAndScratchesParameters, "Removes specks that differ from their surroundings.");

bool ColorNoiseBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                    int32_t width, int32_t height);
inline constexpr EffectParameter kColorNoiseParameters[] = {
    Slider(1, "amount", 250),
    ScriptValue("seed", 0, 65535, 0),
};
inline constexpr EffectDescriptor kColorNoiseEffect =
    BufferRow("Color Noise", EffectRoute::kRgb24, kAsItIs, ColorNoiseBody, kColorNoiseParameters,
              "Confetti noise of every colour.");

bool HugoNoiseBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height);
inline constexpr EffectParameter kHugoNoiseParameters[] = {
    Slider(1, "amount", 400),
    Slider(2, "grain size", 150),
    ScriptValue("seed", 0, 65535, 0),
};
inline constexpr EffectDescriptor kHugoNoiseEffect =
    BufferRow("Hugo Noise", EffectRoute::kRgb24, kAsItIs, HugoNoiseBody, kHugoNoiseParameters,
              "Film grain, strongest in the mid-tones.");

bool PerlinNoiseBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height);
inline constexpr EffectParameter kPerlinNoiseParameters[] = {
    Slider(1, "amount", 600),
    Slider(2, "scale", 100),
    Slider(3, "detail", 600),
    ScriptValue("seed", 0, 65535, 0),
};
inline constexpr EffectDescriptor kPerlinNoiseEffect =
    BufferRow("Perlin Noise", EffectRoute::kRgb24, kAsItIs, PerlinNoiseBody, kPerlinNoiseParameters,
              "Cloudy light and shade laid over the picture.");

bool SharpenBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                 int32_t height);
inline constexpr EffectParameter kSharpenParameters[] = {
    Slider(1, "amount", 500),
};
inline constexpr EffectDescriptor kSharpenEffect =
    BufferRow("Sharpen", EffectRoute::kRgb24, kAsItIs, SharpenBody, kSharpenParameters,
              "Sharpens edges gently.");

bool SharpenMoreBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height);
inline constexpr EffectParameter kSharpenMoreParameters[] = {
    Slider(1, "amount", 500),
};
inline constexpr EffectDescriptor kSharpenMoreEffect =
    BufferRow("Sharpen More", EffectRoute::kRgb24, kAsItIs, SharpenMoreBody, kSharpenMoreParameters,
              "Crisp sharpening of fine detail.");

bool UnsharpMaskBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height);
inline constexpr EffectParameter kUnsharpMaskParameters[] = {
    Slider(1, "radius", 200),
    Slider(2, "amount", 300),
    Slider(3, "threshold", 20),
};
inline constexpr EffectDescriptor kUnsharpMaskEffect =
    BufferRow("Unsharp Mask", EffectRoute::kRgb24, kAsItIs, UnsharpMaskBody, kUnsharpMaskParameters,
              "Sharpens edges above a threshold.");

bool BevelBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
               int32_t height);
inline constexpr EffectParameter kBevelParameters[] = {
    Slider(1, "width", 300),
    Slider(2, "strength", 700),
};
inline constexpr EffectDescriptor kBevelEffect =
    BufferRow("Bevel", EffectRoute::kRgb24, kAsItIs, BevelBody, kBevelParameters,
              "A raised frame lit from the top left.");

bool EmbossBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height);
inline constexpr EffectParameter kEmbossParameters[] = {
    Slider(1, "light angle", 375),
    Slider(2, "depth", 300),
};
inline constexpr EffectDescriptor kEmbossEffect =
    BufferRow("Emboss", EffectRoute::kRgb24, kAsItIs, EmbossBody, kEmbossParameters,
              "A grey relief lit from one side.");

bool Edge2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
               int32_t height);
inline constexpr EffectParameter kEdge2Parameters[] = {
    Slider(1, "low threshold", 250),
    Slider(2, "high threshold", 300),
    Slider(3, "smoothing", 200),
};
inline constexpr EffectDescriptor kEdge2Effect =
    BufferRow("Edge2", EffectRoute::kRgb24, kAsItIs, Edge2Body, kEdge2Parameters,
              "Thin white lines on black along the edges.");

}  // namespace process
