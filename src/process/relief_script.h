// The picture-script runner's emboss (effect 23) run on an RGBA32 picture in place: the Emboss2
// effect and the recipes that light a picture as a relief use it.
#pragma once

#include <cstdint>

#include "process/effect_descriptor.h"

namespace process {

inline constexpr uint32_t kEmbossScriptEffect = 23;

// The emboss's values: depth 0..100, the light's direction and height in degrees, and the look
// (0 a grey relief, 1 the picture's colours shaded).
struct ReliefLight {
  double depth = 10;
  double direction = 135;
  double height = 45;
  int32_t look = 0;
};

// Runs the emboss on width x height RGBA32 pixels (rows of width x 4 bytes) in place, alpha kept.
// False when the runner refuses (the pixels are then as they were).
bool EmbossPixels(uint8_t* pixels, int32_t width, int32_t height, const ReliefLight& light);

bool Emboss2Body(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height);
inline constexpr EffectParameter kEmboss2Parameters[] = {
    Slider(1, "depth", 250),
    Slider(2, "light direction", 375),
    Slider(3, "light height", 500),
    Flag(3, "keep the colours", 0),
};
inline constexpr EffectDescriptor kEmboss2Effect =
    LayerCopyRow("Emboss2", Emboss2Body, kEmboss2Parameters,
                 "The picture's brightness raised as a relief and lit from one side.");

}  // namespace process
