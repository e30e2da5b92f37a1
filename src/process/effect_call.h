// The argument block of an effect run, as the host passes it, and the values derived from it.
#pragma once

#include <cstdint>

#include "process/effects/effect_context.h"

namespace process {

struct EffectCall {
  const char* name = nullptr;
  int32_t scriptValue = 0;
  int32_t sliders[6] = {};  // tenths of a percent, 0..1000
  int32_t options[8] = {};
  int32_t red = 0, green = 0, blue = 0;
  const char* text = nullptr;  // a file or a name (script, plug-in, displacement map)

  // Percent slider k (0..100.0), as a 32-bit float.
  float Percent(int k) const { return static_cast<float>(sliders[k - 1] * 0.1f); }
  // The effect colour as the image library takes it: red | green << 8 | blue << 16.
  uint32_t Colour() const {
    return (uint32_t(red) & 0xFF) | (uint32_t(green) & 0xFF) << 8 | (uint32_t(blue) & 0xFF) << 16;
  }
  // The values an own effect of the dispatcher's choosing is run with: everything passed
  // through, chain flag clear.
  OwnEffectArguments OwnArguments() const {
    OwnEffectArguments a;
    for (int k = 0; k < 6; ++k) a.sliders[k] = sliders[k];
    for (int k = 0; k < 8; ++k) a.options[k] = options[k];
    a.red = red, a.green = green, a.blue = blue;
    return a;
  }
};

}  // namespace process
