// The frame of the effects that change each pixel on its own: every pixel is read by the
// chain-flag rule and its result written to the same place of the destination. With the chain
// flag set both are the same pixel, which is read before it is written.
#pragma once

#include <cstddef>
#include <cstdint>

#include "process/effects/effect_context.h"

namespace process {

template <class PixelFn>
void ForEachPixel(const EffectContext& context, PixelFn&& pixel) {
  for (int32_t y = 0; y < context.height; ++y) {
    const uint8_t* in = context.ReadRow(y);
    uint8_t* out = context.WriteRow(y);
    for (int32_t x = 0; x < context.width; ++x) pixel(in + std::ptrdiff_t(x) * 4, out + std::ptrdiff_t(x) * 4);
  }
}

}  // namespace process
