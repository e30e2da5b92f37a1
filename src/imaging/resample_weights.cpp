#include "imaging/resample_weights.h"

#include <algorithm>
#include <cmath>

namespace imaging {
namespace {

AxisWeights Identity(uint32_t size) {
  AxisWeights axis;
  axis.taps = 1;
  axis.identity = true;
  axis.start.resize(size);
  axis.weights.assign(size, 1.0f);
  for (uint32_t i = 0; i < size; ++i) axis.start[i] = static_cast<int32_t>(i);
  return axis;
}

}  // namespace

AxisWeights ComputeAxisWeights(const ResampleKernel& kernel, uint32_t inSize, uint32_t outSize) {
  if (inSize == outSize) return Identity(inSize);
  const double scale = static_cast<double>(inSize) / outSize;
  const double stretch = std::max(scale, 1.0);
  const double radius = kernel.support * stretch;
  const int32_t last = static_cast<int32_t>(inSize) - 1;

  // First pass: the folded weights of every output, kept as (first index, values) so that the
  // common tap count is known before the table is laid out.
  std::vector<double> folded(static_cast<size_t>(std::ceil(2 * radius)) + 3);
  std::vector<int32_t> firstIndex(outSize), extent(outSize);
  std::vector<double> all;
  std::vector<size_t> offset(outSize);
  int32_t taps = 1;
  for (uint32_t o = 0; o < outSize; ++o) {
    const double center = (o + 0.5) * scale;
    const int64_t lo = static_cast<int64_t>(std::floor(center - radius));
    const int64_t hi = static_cast<int64_t>(std::ceil(center + radius));
    const int32_t base = static_cast<int32_t>(std::clamp<int64_t>(lo, 0, last));
    std::fill(folded.begin(), folded.end(), 0.0);
    double sum = 0.0;
    int32_t minIdx = last, maxIdx = 0;
    for (int64_t j = lo; j <= hi; ++j) {
      const double w = kernel.weight((j + 0.5 - center) / stretch);
      if (w == 0.0) continue;
      const int32_t idx = static_cast<int32_t>(std::clamp<int64_t>(j, 0, last));
      folded[idx - base] += w;
      sum += w;
      minIdx = std::min(minIdx, idx);
      maxIdx = std::max(maxIdx, idx);
    }
    if (sum == 0.0 || minIdx > maxIdx) {  // no kernel mass: take the nearest pixel
      minIdx = maxIdx = static_cast<int32_t>(
          std::clamp<int64_t>(static_cast<int64_t>(std::floor(center)), 0, last));
      folded[minIdx - base] = sum = 1.0;
    }
    firstIndex[o] = minIdx;
    extent[o] = maxIdx - minIdx + 1;
    offset[o] = all.size();
    for (int32_t i = minIdx; i <= maxIdx; ++i) all.push_back(folded[i - base] / sum);
    taps = std::max(taps, extent[o]);
  }

  AxisWeights axis;
  axis.taps = taps;
  axis.start.resize(outSize);
  axis.weights.assign(static_cast<size_t>(outSize) * taps, 0.0f);
  for (uint32_t o = 0; o < outSize; ++o) {
    const int32_t start = std::min(firstIndex[o], static_cast<int32_t>(inSize) - taps);
    axis.start[o] = start;
    float* w = &axis.weights[static_cast<size_t>(o) * taps];
    for (int32_t i = 0; i < extent[o]; ++i)
      w[firstIndex[o] - start + i] = static_cast<float>(all[offset[o] + i]);
  }
  return axis;
}

AxisWeights ComputeNearestWeights(uint32_t inSize, uint32_t outSize) {
  if (inSize == outSize) return Identity(inSize);
  AxisWeights axis;
  axis.taps = 1;
  axis.start.resize(outSize);
  axis.weights.assign(outSize, 1.0f);
  for (uint32_t o = 0; o < outSize; ++o) {
    const uint64_t idx = (uint64_t{o} * 2 + 1) * inSize / (uint64_t{outSize} * 2);
    axis.start[o] = static_cast<int32_t>(std::min<uint64_t>(idx, inSize - 1));
  }
  return axis;
}

}  // namespace imaging
