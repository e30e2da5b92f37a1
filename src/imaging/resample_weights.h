// Per-output weights of one axis of a separable resize, computed once per call.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/resample_kernels.h"

namespace imaging {

// Output pixel o reads `taps` source pixels from start[o]; its weights are
// weights[o * taps .. o * taps + taps) and sum to 1. Taps beyond the picture fold onto the edge
// pixel, so every window lies inside 0..inSize-1.
struct AxisWeights {
  int32_t taps = 0;
  std::vector<int32_t> start;
  std::vector<float> weights;
  bool identity = false;  // same size: output o is source o
};

// Weights for resampling inSize samples to outSize with the kernel. Pixel centres sit at
// (i + 0.5); output o looks at source position (o + 0.5) x inSize / outSize. When shrinking, the
// kernel is stretched by inSize / outSize so that it covers every source pixel it replaces and
// the result averages instead of aliasing. Equal sizes give the identity, whatever the kernel.
AxisWeights ComputeAxisWeights(const ResampleKernel& kernel, uint32_t inSize, uint32_t outSize);

// Nearest-neighbour source index for each output (one tap of weight 1).
AxisWeights ComputeNearestWeights(uint32_t inSize, uint32_t outSize);

}  // namespace imaging
