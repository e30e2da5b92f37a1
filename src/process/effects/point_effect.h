// The frame of the effects that change each pixel on its own: every pixel is read by the
// chain-flag rule and its result written to the same place of the destination. With the chain
// flag set both are the same pixel, which is read before it is written. No pixel depends on
// another, so bands of rows run in parallel with the same result as one pass.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/parallel_rows.h"
#include "process/effects/effect_context.h"

namespace process {

// makeBand() is called once per band and returns that band's pixel function (so that a band can
// keep state of its own, such as a memo).
template <class MakeBand>
void ForEachPixelBanded(const EffectContext& context, std::size_t costPerPixel,
                        MakeBand&& makeBand) {
  engine::ForRowBands(context.height, std::size_t(context.width) * costPerPixel,
                      [&](int32_t begin, int32_t end) {
                        auto pixel = makeBand();
                        for (int32_t y = begin; y < end; ++y) {
                          const uint8_t* in = context.ReadRow(y);
                          uint8_t* out = context.WriteRow(y);
                          for (int32_t x = 0; x < context.width; ++x)
                            pixel(in + std::ptrdiff_t(x) * 4, out + std::ptrdiff_t(x) * 4);
                        }
                      });
}

template <class PixelFn>
void ForEachPixel(const EffectContext& context, PixelFn&& pixel) {
  ForEachPixelBanded(context, 8, [&] { return pixel; });
}

}  // namespace process
