// The separable resampler: a horizontal pass into float rows, then a vertical pass, run over bands
// of output rows in parallel. Each output row is computed the same way whatever the banding, so
// the result does not depend on the number of threads.
#pragma once

#include <cstdint>

#include "imaging/resample_weights.h"

namespace imaging {

struct PictureView {
  const uint8_t* pixels;
  uint32_t width, height, rowBytes;
};

struct MutablePictureView {
  uint8_t* pixels;
  uint32_t width, height, rowBytes;
};

// Resamples src into dst (sizes taken from the views and the weights). bytesPerPixel is 1, 3, 4
// (8-bit samples) or 8 (four 16-bit samples). Results are rounded to nearest and clamped.
// Throws std::bad_alloc when scratch memory runs out; writes dst only after that point.
void SeparableResample(const PictureView& src, const MutablePictureView& dst,
                       uint32_t bytesPerPixel, const AxisWeights& columns, const AxisWeights& rows);

}  // namespace imaging
