// What the library transforms' effect bodies share: the edge option, the fill, the sizes their
// sliders scale to, and the run of the transform list on the premultiplied source.
#pragma once

#include <cstdint>

#include "process/effect_call.h"
#include "process/effect_descriptor.h"

namespace process {

// Option 1 of every transform: what the picture shows where a mapping reaches past its border.
enum TransformEdgeChoice : int32_t {
  kShowEffectColour = 0,  // the effect colour, opaque
  kWrapAround = 1,
  kRepeatBorder = 2,
  kMirrorBorder = 3,
  kShowTransparent = 4,
};
inline constexpr EffectParameter kTransformEdgeOption =
    Option(1, "edges: 0 colour, 1 wrap, 2 repeat, 3 mirror, 4 transparent", 0, 4, 0);
inline constexpr EffectParameter kTransformFillColour = Colour("fill colour", 255, 255, 255);

// The library's edge mode for the call's option 1 (unknown values show the effect colour).
uint32_t TransformEdgeMode(const EffectCall& call);

// Slider k centred on its middle: -1 at 0 %, 0 at 50 %, 1 at 100 %.
double Centred(const EffectCall& call, int k);
// Slider k as a position across a side of the given length (50 % is the middle).
double Across(const EffectCall& call, int k, int32_t side);
// Slider k as a radius: a share of half the picture's diagonal, at least one pixel.
double RadiusOf(const EffectCall& call, int k, int32_t width, int32_t height);
// Slider k as a wavelength: a share of half the larger side, at least two pixels.
double WavelengthOf(const EffectCall& call, int k, int32_t width, int32_t height);
// Slider k as a move: a share of a tenth of the smaller side.
double AmplitudeOf(const EffectCall& call, int k, int32_t width, int32_t height);

// Runs the transform list built by the body from source into destination, bilinear, with the
// fill that option 1 asks for. False when the library refuses.
bool RunTransformList(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                      int32_t width, int32_t height);

}  // namespace process
