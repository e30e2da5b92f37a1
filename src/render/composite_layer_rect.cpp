#include "render/composite_layer_rect.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "engine/engine_state.h"
#include "engine/parallel_rows.h"
#include "render/composite_internal.h"

namespace render {
namespace {

std::atomic<bool> g_forceReference{false};

// Bytes [lo, hi) that a rectangle of rows touches.
struct Span {
  uintptr_t lo, hi;
};

Span RectSpan(const uint16_t* first, std::ptrdiff_t stride, int32_t width, int32_t height) {
  const auto base = reinterpret_cast<uintptr_t>(first);
  const std::ptrdiff_t lastRow = stride * (height - 1);
  const std::ptrdiff_t lo = std::min<std::ptrdiff_t>(0, lastRow);
  const std::ptrdiff_t hi = std::max<std::ptrdiff_t>(0, lastRow) + 4 * std::ptrdiff_t{width};
  return {base + static_cast<uintptr_t>(lo * 2), base + static_cast<uintptr_t>(hi * 2)};
}

bool Overlap(Span a, Span b) { return a.lo < b.hi && b.lo < a.hi; }

}  // namespace

CompositeJob JobRows(const CompositeJob& job, int32_t firstRow, int32_t endRow) {
  CompositeJob part = job;
  part.source = job.source + firstRow * job.sourceStride;
  part.clip = job.clip ? job.clip + firstRow * job.sourceStride : nullptr;
  part.destination = job.destination + firstRow * job.destStride;
  part.height = endRow - firstRow;
  return part;
}

CompositeJob JobSpan(const CompositeJob& job, int32_t row, int32_t firstColumn, int32_t endColumn) {
  CompositeJob part = JobRows(job, row, row + 1);
  part.source += 4 * std::ptrdiff_t{firstColumn};
  if (part.clip) part.clip += 4 * std::ptrdiff_t{firstColumn};
  part.destination += 4 * std::ptrdiff_t{firstColumn};
  part.width = endColumn - firstColumn;
  return part;
}

bool PixelsIndependent(const CompositeJob& job) {
  // Destination rows that overlap each other would make the order of rows matter.
  if (std::abs(job.destStride) < 4 * std::ptrdiff_t{job.width}) return false;
  const Span dest = RectSpan(job.destination, job.destStride, job.width, job.height);
  const auto readsSafely = [&](const uint16_t* first) {
    if (!first) return true;
    if (first == job.destination && job.sourceStride == job.destStride) return true;
    return !Overlap(RectSpan(first, job.sourceStride, job.width, job.height), dest);
  };
  return readsSafely(job.source) && readsSafely(job.clip);
}

void CompositeJobOnThisThread(const CompositeJob& job) {
  if (g_forceReference.load(std::memory_order_relaxed)) {
    CompositeReference(job);
  } else {
    CompositeFast(job);
  }
}

void ForceReferenceCompositeForTesting(bool on) noexcept {
  g_forceReference.store(on, std::memory_order_relaxed);
}

bool MakeCompositeJob(const uint16_t* source, int32_t sourceX, int32_t sourceY, int32_t width,
                      int32_t height, int32_t sourceStride, const uint16_t* clipPixels,
                      uint16_t* destination, int32_t destX, int32_t destY, int32_t destStride,
                      int32_t mode, int32_t clipFlag, int32_t opacity, uint8_t alphaLock,
                      uint8_t sameAlphaMode, CompositeJob& job) {
  if (!source || !destination || width <= 0 || height <= 0) return false;
  const bool useClip = clipPixels != nullptr && clipFlag == kClipFlagLayerMask;
  const std::ptrdiff_t sourceOffset =
      std::ptrdiff_t{sourceY} * sourceStride + 4 * std::ptrdiff_t{sourceX};
  job.source = source + sourceOffset;
  job.clip = useClip ? clipPixels + sourceOffset : nullptr;
  job.destination = destination + std::ptrdiff_t{destY} * destStride + 4 * std::ptrdiff_t{destX};
  job.sourceStride = sourceStride;
  job.destStride = destStride;
  job.width = width;
  job.height = height;
  job.setup = MakeCompositeSetup(mode, useClip, opacity, alphaLock != 0, sameAlphaMode != 0,
                                 engine::State().alphaLayerOpacity);
  return true;
}

void CompositeLayerRect(const uint16_t* source, int32_t sourceX, int32_t sourceY, int32_t width,
                        int32_t height, int32_t sourceStride, const uint16_t* clipPixels,
                        uint16_t* destination, int32_t destX, int32_t destY, int32_t destStride,
                        int32_t mode, int32_t clipFlag, int32_t opacity, uint8_t alphaLock,
                        uint8_t sameAlphaMode) {
  CompositeJob job;
  if (!MakeCompositeJob(source, sourceX, sourceY, width, height, sourceStride, clipPixels,
                        destination, destX, destY, destStride, mode, clipFlag, opacity, alphaLock,
                        sameAlphaMode, job)) {
    return;
  }
  // Buffers that feed on what the routine writes get the documented pixel order, serially.
  if (!PixelsIndependent(job)) {
    CompositeReference(job);
    return;
  }
  // About 32K pixels a band: small enough to share out evenly, large enough to be cheap.
  const int32_t bandRows = std::max<int32_t>(1, 32768 / width);
  auto band = [&job](int32_t first, int32_t end) {
    CompositeJobOnThisThread(JobRows(job, first, end));
  };
  // Each pixel reads the source and reads and writes the destination.
  engine::ForRowBands(height, std::size_t(width) * 24, band, bandRows);
}

}  // namespace render
