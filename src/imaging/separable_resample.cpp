#include "imaging/separable_resample.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace imaging {
namespace {

typedef float Float4 __attribute__((vector_size(16)));

// Scratch rows of one band, allocated once per band.
struct BandScratch {
  std::vector<float> sourceRow;    // one source row widened to float
  std::vector<float> ring;         // taps rows of horizontally resampled source rows
  std::vector<int64_t> ringRow;    // which source row each ring slot holds
  std::vector<float> accumulator;  // one output row before rounding
  std::vector<const float*> tapRows;

  void Allocate(size_t inSamples, size_t outSamples, int32_t taps) {
    sourceRow.resize(inSamples);
    ring.resize(outSamples * taps);
    ringRow.resize(taps);
    accumulator.resize(outSamples);
    tapRows.resize(taps);
  }
};

template <class Sample>
void WidenRow(const Sample* in, float* out, size_t count) {
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<float>(in[i]);
}

// out[o] = sum over t of w[o][t] x in[start[o] + t], per channel.
template <int kChannels>
void HorizontalPass(const float* in, float* out, const AxisWeights& columns, uint32_t outWidth) {
  const int32_t taps = columns.taps;
  const float* weights = columns.weights.data();
  if constexpr (kChannels == 4) {
    for (uint32_t o = 0; o < outWidth; ++o) {
      const float* p = in + static_cast<size_t>(columns.start[o]) * 4;
      const float* w = weights + static_cast<size_t>(o) * taps;
      Float4 sum = {0, 0, 0, 0};
      for (int32_t t = 0; t < taps; ++t) {
        Float4 v;
        std::memcpy(&v, p + t * 4, sizeof v);
        sum += v * w[t];
      }
      std::memcpy(out + static_cast<size_t>(o) * 4, &sum, sizeof sum);
    }
  } else {
    for (uint32_t o = 0; o < outWidth; ++o) {
      const float* p = in + static_cast<size_t>(columns.start[o]) * kChannels;
      const float* w = weights + static_cast<size_t>(o) * taps;
      float sum[kChannels] = {};
      for (int32_t t = 0; t < taps; ++t)
        for (int c = 0; c < kChannels; ++c) sum[c] += p[t * kChannels + c] * w[t];
      for (int c = 0; c < kChannels; ++c) out[static_cast<size_t>(o) * kChannels + c] = sum[c];
    }
  }
}

template <class Sample>
void StoreRow(const float* in, Sample* out, size_t count) {
  constexpr float kMax = static_cast<float>(static_cast<Sample>(~Sample{0}));
  for (size_t i = 0; i < count; ++i) {
    const float v = std::clamp(in[i] + 0.5f, 0.0f, kMax);
    out[i] = static_cast<Sample>(v);
  }
}

template <class Sample, int kChannels>
void ResampleBand(const PictureView& src, const MutablePictureView& dst, const AxisWeights& columns,
                  const AxisWeights& rows, uint32_t firstRow, uint32_t endRow,
                  BandScratch& scratch) {
  const size_t inSamples = static_cast<size_t>(src.width) * kChannels;
  const size_t outSamples = static_cast<size_t>(dst.width) * kChannels;
  const int32_t taps = rows.taps;
  std::fill(scratch.ringRow.begin(), scratch.ringRow.end(), -1);
  const float** tapRows = scratch.tapRows.data();

  for (uint32_t y = firstRow; y < endRow; ++y) {
    for (int32_t t = 0; t < taps; ++t) {
      const int64_t sourceRow = rows.start[y] + t;
      const size_t slot = static_cast<size_t>(sourceRow % taps);
      float* cached = scratch.ring.data() + slot * outSamples;
      if (scratch.ringRow[slot] != sourceRow) {
        const auto* in = reinterpret_cast<const Sample*>(src.pixels + sourceRow * src.rowBytes);
        if (columns.identity) {
          WidenRow(in, cached, outSamples);
        } else {
          WidenRow(in, scratch.sourceRow.data(), inSamples);
          HorizontalPass<kChannels>(scratch.sourceRow.data(), cached, columns, dst.width);
        }
        scratch.ringRow[slot] = sourceRow;
      }
      tapRows[t] = cached;
    }

    // Vertical pass in chunks small enough for the accumulator to stay in the first-level cache.
    const float* w = rows.weights.data() + static_cast<size_t>(y) * taps;
    float* acc = scratch.accumulator.data();
    constexpr size_t kChunk = 1024;
    for (size_t begin = 0; begin < outSamples; begin += kChunk) {
      const size_t end = std::min(outSamples, begin + kChunk);
      const float w0 = w[0];
      const float* r0 = tapRows[0];
      for (size_t i = begin; i < end; ++i) acc[i] = r0[i] * w0;
      for (int32_t t = 1; t < taps; ++t) {
        const float wt = w[t];
        const float* rt = tapRows[t];
        for (size_t i = begin; i < end; ++i) acc[i] += rt[i] * wt;
      }
    }
    StoreRow(acc, reinterpret_cast<Sample*>(dst.pixels + static_cast<size_t>(y) * dst.rowBytes),
             outSamples);
  }
}

template <class Sample, int kChannels>
void ResampleAll(const PictureView& src, const MutablePictureView& dst, const AxisWeights& columns,
                 const AxisWeights& rows) {
  // Two bands a thread balance the load; bands of at least 32 output rows keep the ring warm-up
  // (taps rows per band) small. All scratch is allocated here, before any output is written.
  const uint32_t threads = static_cast<uint32_t>(std::max(1, cv::getNumThreads()));
  const uint32_t bandCount = std::clamp<uint32_t>(std::min(dst.height / 32, threads * 2), 1, 64);
  const uint32_t bandRows = (dst.height + bandCount - 1) / bandCount;
  std::vector<BandScratch> scratch(bandCount);
  for (BandScratch& band : scratch)
    band.Allocate(static_cast<size_t>(src.width) * kChannels,
                  static_cast<size_t>(dst.width) * kChannels, rows.taps);
  cv::parallel_for_(cv::Range(0, static_cast<int>(bandCount)), [&](const cv::Range& range) {
    for (int band = range.start; band < range.end; ++band) {
      const uint32_t first = band * bandRows;
      const uint32_t end = std::min(dst.height, first + bandRows);
      if (first < end)
        ResampleBand<Sample, kChannels>(src, dst, columns, rows, first, end, scratch[band]);
    }
  });
}

}  // namespace

void SeparableResample(const PictureView& src, const MutablePictureView& dst,
                       uint32_t bytesPerPixel, const AxisWeights& columns,
                       const AxisWeights& rows) {
  switch (bytesPerPixel) {
    case 1:
      ResampleAll<uint8_t, 1>(src, dst, columns, rows);
      break;
    case 3:
      ResampleAll<uint8_t, 3>(src, dst, columns, rows);
      break;
    case 4:
      ResampleAll<uint8_t, 4>(src, dst, columns, rows);
      break;
    case 8:
      ResampleAll<uint16_t, 4>(src, dst, columns, rows);
      break;
    default:
      break;
  }
}

}  // namespace imaging
