// The image library's filters on the source buffer 32 as the host last filled it (not
// refreshed).
// Each body reads width x height pixels of the source and writes the destination, and returns
// false (nothing is written back) when the library refuses. Sliders are read as percent.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

bool GeometricMeanBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                       int32_t width, int32_t height);
inline constexpr EffectParameter kGeometricMeanParameters[] = {
    Slider(1, "radius", 100),
};
inline constexpr EffectDescriptor kGeometricMeanEffect =
    BufferRow("Geometric Mean", EffectRoute::kUnrefreshedSource32, kAsItIs, GeometricMeanBody,
              kGeometricMeanParameters, "Smooths and removes bright specks.");

bool HarmonicMeanBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                      int32_t width, int32_t height);
inline constexpr EffectParameter kHarmonicMeanParameters[] = {
    Slider(1, "radius", 100),
};
inline constexpr EffectDescriptor kHarmonicMeanEffect =
    BufferRow("Harmonic Mean", EffectRoute::kUnrefreshedSource32, kAsItIs, HarmonicMeanBody,
              kHarmonicMeanParameters, "Smooths, letting dark neighbours weigh most.");

bool Maximum2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height);
inline constexpr EffectParameter kMaximum2Parameters[] = {
    Slider(1, "radius", 100),
};
inline constexpr EffectDescriptor kMaximum2Effect =
    BufferRow("Maximum2", EffectRoute::kUnrefreshedSource32, kAsItIs, Maximum2Body,
              kMaximum2Parameters, "Spreads the brightest neighbour.");

bool Minimum2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height);
inline constexpr EffectParameter kMinimum2Parameters[] = {
    Slider(1, "radius", 100),
};
inline constexpr EffectDescriptor kMinimum2Effect =
    BufferRow("Minimum2", EffectRoute::kUnrefreshedSource32, kAsItIs, Minimum2Body,
              kMinimum2Parameters, "Spreads the darkest neighbour.");

bool MedianBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height);
inline constexpr EffectParameter kMedianParameters[] = {
    Slider(1, "radius", 100),
};
inline constexpr EffectDescriptor kMedianEffect =
    BufferRow("Median", EffectRoute::kUnrefreshedSource32, kAsItIs, MedianBody, kMedianParameters,
              "The middle value of each neighbourhood: removes specks.");

bool HDRIBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height);
inline constexpr EffectParameter kHDRIParameters[] = {
    Slider(1, "area size", 300),
    Slider(2, "evening", 500),
    Slider(3, "detail", 600),
};
inline constexpr EffectDescriptor kHDRIEffect =
    BufferRow("HDRI", EffectRoute::kUnrefreshedSource32, kAsItIs, HDRIBody, kHDRIParameters,
              "Evens out light and lifts detail, as a high dynamic range picture.");

bool ReduceBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height);
inline constexpr EffectParameter kReduceParameters[] = {
    Slider(1, "size", 500),
};
inline constexpr EffectDescriptor kReduceEffect =
    BufferRow("Reduce", EffectRoute::kUnrefreshedSource32, kAsItIs, ReduceBody, kReduceParameters,
              "Shrinks the layer about its centre.");

bool FrostedGlassBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                      int32_t width, int32_t height);
inline constexpr EffectParameter kFrostedGlassParameters[] = {
    Slider(1, "amount", 300),
    ScriptValue("seed", 0, 65535, 0),
};
inline constexpr EffectDescriptor kFrostedGlassEffect =
    BufferRow("Frosted Glass", EffectRoute::kUnrefreshedSource32, kAsItIs, FrostedGlassBody,
              kFrostedGlassParameters, "Scatters pixels as through frosted glass.");

}  // namespace process
