// Shared between the compositing routine's entry point and its two paths.
#pragma once

#include <array>
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
// Columns [firstColumn, endColumn) of one row of the job. Pixels are independent of each other
// (when PixelsIndependent holds), so any split of a row gives the same result as the whole row.
CompositeJob JobSpan(const CompositeJob& job, int32_t row, int32_t firstColumn, int32_t endColumn);

// The job CompositeLayerRect runs for its arguments (see there). False when there is nothing to
// composite: a null buffer or a side of 0 or less.
bool MakeCompositeJob(const uint16_t* source, int32_t sourceX, int32_t sourceY, int32_t width,
                      int32_t height, int32_t sourceStride, const uint16_t* clipPixels,
                      uint16_t* destination, int32_t destX, int32_t destY, int32_t destStride,
                      int32_t mode, int32_t clipFlag, int32_t opacity, uint8_t alphaLock,
                      uint8_t sameAlphaMode, CompositeJob& job);

// Whether an opaque pixel of the job (alpha 65280 or more) overwrites its destination pixel
// whole, alpha included, whatever was there: the Normal mode at full opacity, without layer mask
// or alpha lock.
inline bool OpaquePixelsReplace(const CompositeJob& job) {
  const CompositeSetup& k = job.setup;
  return (kMergeModes[k.mode].flags & kOpaqueCopyFlag) && k.opacityFactor == 256 && !k.useClip &&
         !k.alphaLock;
}

// One row of an ordinary mode with the Normal rule and no layer mask, on vector registers; the
// same values as CompositePixel for every pixel. NormalRowVector gives null where the CPU level
// is below AVX2.
using NormalRowKernel = void (*)(const uint16_t* source, uint16_t* destination, int32_t width,
                                 const CompositeSetup& k);
NormalRowKernel NormalRowVector();

// The same for the most used other rules (Multiply, Screen, Overlay, Soft Light, Darken, Lighten,
// Add, Subtract, Dodge, Burn) in ordinary modes without layer mask: the same values as
// CompositePixel for every pixel, eight pixels at a time at the AVX-512 level and four at AVX2.
// Null for any other rule or where the CPU level is below AVX2.
NormalRowKernel RuleRowVector(BlendRule rule);

// The AVX2 and AVX-512 row kernels themselves (null off x86), to be called only where the CPU
// level allows.
using RuleRowKernels = std::array<NormalRowKernel, kBlendRuleCount>;
extern const NormalRowKernel kNormalRowAvx2;
extern const RuleRowKernels kRuleRowsAvx2;
extern const RuleRowKernels kRuleRowsAvx512;

// The plain per-pixel loop: rows top to bottom, pixels left to right.
void CompositeReference(const CompositeJob& job);
// The per-pixel rule over `count` pixels of a row without layer mask. The vector row kernels
// finish their rows with it, so that the rule's code is built only for the baseline processor.
void CompositeUnclippedPixels(const uint16_t* s, uint16_t* d, int32_t count,
                              const CompositeSetup& k);
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
