// The image library's painterly filters, run on the 24-bit buffers: the layer's alpha stays as
// it was.
// Each body reads width x height pixels of the source and writes the destination, and returns
// false (nothing is written back) when the library refuses. Sliders are read as percent.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

bool OilPaintBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height);
inline constexpr EffectParameter kOilPaintParameters[] = {
    Slider(1, "brush size", 500),
    Slider(2, "smoothness", 500),
    Flag(3, "round brush", 1),
    Flag(4, "keep detail", 0),
};
inline constexpr EffectDescriptor kOilPaintEffect =
    BufferRow("Oil Paint", EffectRoute::kRgb24, kAsItIs, OilPaintBody, kOilPaintParameters,
              "Flat strokes of the most common colour under the brush.");

bool StippleBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                 int32_t height);
inline constexpr EffectParameter kStippleParameters[] = {
    Slider(1, "density", 500),
    Flag(1, "black ink", 0),
    Option(2, "dot size", 0, 7, 1),
};
inline constexpr EffectDescriptor kStippleEffect =
    BufferRow("Stipple", EffectRoute::kRgb24, kAsItIs, StippleBody, kStippleParameters,
              "Dots on white paper, denser where darker.");

bool WatercolorTintBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                        int32_t width, int32_t height);
inline constexpr EffectParameter kWatercolorTintParameters[] = {
    Slider(1, "strength", 800),
};
inline constexpr EffectDescriptor kWatercolorTintEffect =
    BufferRow("Watercolor Tint", EffectRoute::kRgb24, kAsItIs, WatercolorTintBody,
              kWatercolorTintParameters, "Washes the picture like watercolour on paper.");

bool HalftoneBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height);
inline constexpr EffectParameter kHalftoneParameters[] = {
    Slider(1, "cell size", 200),
    Slider(2, "angle", 500),
    Flag(1, "black only", 0),
};
inline constexpr EffectDescriptor kHalftoneEffect =
    BufferRow("Halftone", EffectRoute::kRgb24, kAsItIs, HalftoneBody, kHalftoneParameters,
              "A printer's dot screen.");

bool CrackleBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                 int32_t height);
inline constexpr EffectParameter kCrackleParameters[] = {
    Slider(1, "cell size", 300),
    Slider(2, "crack width", 300),
    Slider(3, "depth", 800),
};
inline constexpr EffectDescriptor kCrackleEffect =
    BufferRow("Crackle", EffectRoute::kRgb24, kAsItIs, CrackleBody, kCrackleParameters,
              "Cracks of aged varnish.");

bool FingerprintBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height);
inline constexpr EffectParameter kFingerprintParameters[] = {
    Slider(1, "ridge spacing", 300),
    Slider(2, "strength", 700),
};
inline constexpr EffectDescriptor kFingerprintEffect =
    BufferRow("Fingerprint", EffectRoute::kRgb24, kAsItIs, FingerprintBody, kFingerprintParameters,
              "The ridges of a fingerprint pressed on the picture.");

bool GausyBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
               int32_t height);
inline constexpr EffectParameter kGausyParameters[] = {
    Slider(1, "softness", 300),
    Slider(2, "strength", 700),
};
inline constexpr EffectDescriptor kGausyEffect =
    BufferRow("Gausy", EffectRoute::kRgb24, kAsItIs, GausyBody, kGausyParameters,
              "A soft glow as through gauze.");

bool ScribbleBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height);
inline constexpr EffectParameter kScribbleParameters[] = {
    Slider(1, "scribble size", 150),
    Slider(2, "ink", 500),
    Flag(1, "black ink", 0),
};
inline constexpr EffectDescriptor kScribbleEffect =
    BufferRow("Scribble", EffectRoute::kRgb24, kAsItIs, ScribbleBody, kScribbleParameters,
              "Redrawn with a pen in looping scribbles on white paper.");

}  // namespace process
