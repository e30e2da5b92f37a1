// Shared between the compositing routine's entry point and its two paths.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/merge_rules.h"

namespace render {

// A rectangle ready to composite: every pointer is at the rectangle's first pixel and the
// strides are in 16-bit samples.
struct CompositeJob {
  const uint16_t* source = nullptr;
  const uint16_t* clip = nullptr;  // the "Layer Mask" pixels over the source, when applied
  uint16_t* destination = nullptr;
  std::ptrdiff_t sourceStride = 0;
  std::ptrdiff_t destStride = 0;
  int32_t width = 0;
  int32_t height = 0;
  CompositeSetup setup;
};

// Rows [firstRow, endRow) of the job. Rows are independent of each other, so bands of rows may
// run on different threads with the same result as one pass.
CompositeJob JobRows(const CompositeJob& job, int32_t firstRow, int32_t endRow);

// The plain per-pixel loop: rows top to bottom, pixels left to right.
void CompositeReference(const CompositeJob& job);
// The fast path on the calling thread: cheap pixels first, blends in batches. Falls back to the
// reference loop for what it does not cover. Bit-identical to CompositeReference.
void CompositeFast(const CompositeJob& job);

// Runs a job on the calling thread through the path in force (the fast one unless a test forces
// the reference).
void CompositeJobOnThisThread(const CompositeJob& job);

// True when the fast and the parallel path may run the job: no pixel the job writes is read for
// another pixel. Source and mask either do not overlap the destination or lie exactly on it.
bool PixelsIndependent(const CompositeJob& job);

}  // namespace render
