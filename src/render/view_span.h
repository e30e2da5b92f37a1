// The view composite of a run of canvas positions in one row, entry by entry instead of pixel by
// pixel: each listed layer is read once across the run and its pixels go into the running
// composites of the whole run, the blends of the common rules four at a time on vector lanes.
// Gives for every position exactly what CompositeViewPixel gives.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "render/merge_modes.h"
#include "render/view_composite.h"
#include "render/view_output.h"
#include "render/view_render_list.h"

namespace render {

// Positions a span holds at most.
inline constexpr int32_t kViewSpan = 256;

// The running composites of a span and the pixels of the entry being laid over them, one array
// per quantity so that four neighbours fill one vector register. A composite is empty while A is
// 0; `copied` marks one that holds an entry's integer pixel unchanged (`copy`), from which A and c
// were made by the same conversion the blend would apply.
struct ViewSpanState {
  alignas(32) double A[kViewSpan];
  alignas(32) double c[3][kViewSpan];
  alignas(32) int32_t copy[4][kViewSpan];
  // The entry's prepared pixels (alpha and colour) where `blend` marks a blend left for the lanes.
  alignas(32) int32_t a[kViewSpan];
  alignas(32) int32_t s[3][kViewSpan];
  alignas(32) uint8_t blend[kViewSpan];
  // Flags are 0 for false and any other value for true.
  alignas(32) int32_t copied[kViewSpan];
  // Some entry below has laid down a pixel, or the covering entry no longer cares whether one did.
  alignas(32) int32_t filled[kViewSpan];
  alignas(32) int32_t start[kViewSpan];  // the topmost entry that replaces all below it, or 0
  // The pixels of the topmost alpha-mode entry that may cover, as the covering test prepared
  // them, so that its pre-pass runs once per position.
  EntryPixel kept[kViewSpan];
  uint8_t keptLive[kViewSpan];
};

// Blends the marked pixels of a span by one rule (BlendOverViewComposite on each), or null where
// the rule has no vector form or the CPU level is below AVX2. `count` is rounded up to
// whole groups of four; `blend` is 0 past the span.
using ViewSpanBlendKernel = void (*)(ViewSpanState& st, int32_t count);
ViewSpanBlendKernel ViewSpanBlendVector(BlendRule rule);

// Where an entry's pixels are read across a span: with cols null, base is the pixel of the span's
// first position and the positions follow each other; otherwise base is the start of the canvas
// row and cols[j] the column of position j, filled up to whole groups of four with columns that
// may be read.
struct SpanPixels {
  const uint16_t* base;
  const int32_t* cols;
};

// A whole entry over a span, four positions at a time: an entry without layer mask, of an
// ordinary mode whose rule has vector lanes (the background too) or of an alpha mode whose
// pre-pass has them; index is its place in the render list, K the alpha-layer opacity. Does for
// every position what the per-position steps do (PrepareEntry, then the covering test, StartWith
// or Combine). Null where not available.
struct ViewEntryConstants {
  int32_t index;
  int32_t mode;
  int32_t opacityScale;
  int32_t K;
  bool background;
};
using ViewSpanEntryKernel = void (*)(ViewSpanState& st, int32_t count, const ViewEntryConstants& e,
                                     SpanPixels px);
// The kernel for an entry of this mode, or null (CPU level below AVX2, or no lanes for it).
ViewSpanEntryKernel ViewSpanEntryVector(int32_t mode);

// The covering test of one entry that may replace what lies below (full opacity, no layer mask,
// not the background) four positions at a time: where no entry above covers a position and this
// entry's prepared pixel does, st.start becomes e.index (and st.filled is set where the pixel is
// copied at alpha 65535, which no longer depends on anything below). Returns how many positions
// it covered.
using ViewSpanCoverKernel = int32_t (*)(ViewSpanState& st, int32_t count,
                                        const ViewEntryConstants& e, SpanPixels px);
ViewSpanCoverKernel ViewSpanCoverVector(int32_t mode);

// Composites canvas positions (columns[j], row) for j < count (count <= kViewSpan) into st; rowAt
// is the row's offset in the canvas planes (in 16-bit samples). K is alphaLayerOpacity.
// contiguous: the columns are columns[0], columns[0] + 1, ... columns is 16-byte aligned and
// filled up to whole groups of four with columns that may be read.
void CompositeViewSpan(const ViewRenderList& list, int32_t K, std::size_t rowAt,
                       const int32_t* columns, int32_t count, bool contiguous, ViewSpanState& st);

// The 16-bit composites of the span as CompositeViewPixel finishes them.
void FinishViewSpan(const ViewSpanState& st, int32_t count, Pixel16* out);

// One output row's share of a span: where its composites are shown and what lies over them.
struct ViewSpanOutputRow {
  const ViewOutput* out;
  const int32_t* cols;         // canvas column of each position, filled up to whole groups of four
  int32_t cy;                  // canvas row of the composites (checker squares, tracing image)
  const uint16_t* tracingRow;  // the tracing image's row cy, or null
  const uint16_t* maskRow;     // the mask row shown, or null
  bool skipOpenTint;
};

// FinishViewSpan and WriteViewPixel on the whole span: three bytes per position into bgr, which
// holds 3 x count bytes and 16 more that may be overwritten. Null below AVX2.
using ViewSpanOutputKernel = void (*)(const ViewSpanState& st, int32_t count,
                                      const ViewSpanOutputRow& row, uint8_t* bgr);
ViewSpanOutputKernel ViewSpanOutputVector();

// The whole span in one pass, from the entries' pixels to the output bytes (CompositeViewSpan
// and the output stage together), sixteen positions at a time with their composites in
// registers, for entries of every mode the view shows, with or without layer mask. Sampled, columns
// is filled up to whole groups of sixteen with columns that may be read; contiguous, only
// columns[0] is read (and the output row's cols[0]). bgr receives exactly three bytes per
// position. Null where the CPU level is below AVX-512.
using ViewFusedSpanKernel = void (*)(const ViewRenderList& list, int32_t K, std::size_t rowAt,
                                     const int32_t* columns, int32_t count, bool contiguous,
                                     const ViewSpanOutputRow& row, uint8_t* bgr);
ViewFusedSpanKernel ViewFusedSpanVector(const ViewRenderList& list);
extern const ViewFusedSpanKernel kViewFusedSpanAvx512;

// The AVX2 kernels themselves, indexed by rule or by mode (null off x86 and where there are no
// lanes), to be called only where the CPU level allows.
using ViewSpanBlendKernels = std::array<ViewSpanBlendKernel, kBlendRuleCount>;
using ViewSpanEntryKernels = std::array<ViewSpanEntryKernel, kMergeModeCount>;
using ViewSpanCoverKernels = std::array<ViewSpanCoverKernel, kMergeModeCount>;
extern const ViewSpanBlendKernels kViewSpanBlendAvx2;
extern const ViewSpanEntryKernels kViewSpanEntryAvx2;
extern const ViewSpanCoverKernels kViewSpanCoverAvx2;
extern const ViewSpanOutputKernel kViewSpanOutputAvx2;

// Test hook: turn the span compositor off (the renderer then composites pixel by pixel, the
// reference). The vector lanes follow the CPU level.
void SetViewSpansForTesting(bool enabled) noexcept;
bool ViewSpansEnabled() noexcept;
// Test hook: keep the span path off the one-pass kernel (entry by entry over span buffers, the
// kernels of the AVX2 level), so that both can be measured side by side.
void SetViewOnePassForTesting(bool enabled) noexcept;

}  // namespace render
