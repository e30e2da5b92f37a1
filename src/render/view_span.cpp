#include "render/view_span.h"

#include <algorithm>
#include <atomic>

#include "platform/cpu_features.h"
#include "render/merge_mode_names.h"
#include "render/view_blend.h"
#include "render/view_composite.h"

namespace render {
namespace {

std::atomic<bool> gSpans{true};
std::atomic<bool> gOnePass{true};

// How far ahead along a span the layers' pixels are asked for.
constexpr int32_t kAhead = 16;

bool IsTextureOp(int32_t op) { return op >= kViewOpTexturize && op <= kViewOpTexturize3; }

// Composite j takes an integer pixel as it is. A and c are made now the way a later blend would
// make them from the integers, so they are ready whichever comes next.
inline void Copy(ViewSpanState& st, int32_t j, const int32_t colour[3], int32_t alpha) {
  st.copied[j] = 1;
  for (int k = 0; k < 3; ++k) {
    st.copy[k][j] = colour[k];
    st.c[k][j] = colour[k] * (1.0 / 65280.0);
  }
  st.copy[3][j] = alpha;
  st.A[j] = alpha * (1.0 / 65535.0);
}

inline void BlendNow(ViewSpanState& st, int32_t j, const EntryPixel& p) {
  double c[3] = {st.c[0][j], st.c[1][j], st.c[2][j]};
  BlendOverViewComposite(p.op, p.colour, p.a, st.A[j], c);
  for (int k = 0; k < 3; ++k) st.c[k][j] = c[k];
  st.copied[j] = 0;
}

// ViewComposite::Combine on composite j. Blends by the entry's own rule are left for the vector
// lanes when there are any (marked in `blend`); the caller runs them before the next entry.
inline void Combine(ViewSpanState& st, int32_t j, const EntryPixel& p, BlendRule lanesRule,
                    bool lanes, bool& staged) {
  if (st.A[j] == 0.0) {
    if (IsTextureOp(p.op)) {
      const int32_t clear[3] = {0, 0, 0};
      Copy(st, j, clear, 0);
    } else {
      Copy(st, j, p.colour, p.a);
    }
  } else if (p.a >= 65280 && p.op == kViewOpNormal) {
    Copy(st, j, p.colour, 65535);
  } else if (lanes && ModeInfo(p.op).rule == lanesRule) {
    st.a[j] = p.a;
    for (int k = 0; k < 3; ++k) st.s[k][j] = p.colour[k];
    st.blend[j] = 1;
    st.copied[j] = 0;
    staged = true;
  } else {
    BlendNow(st, j, p);
  }
}

// The composite where entry i is the topmost pixel that replaces all below it: only whether
// anything lay below matters (`filled`).
inline void StartWith(ViewSpanState& st, int32_t j, const EntryPixel& p, BlendRule lanesRule,
                      bool lanes, bool& staged) {
  if (p.op == kViewOpNormal) {
    Copy(st, j, p.colour, p.a == 65535 || st.filled[j] ? 65535 : p.a);
  } else if (st.filled[j]) {
    st.copied[j] = 0;
    st.A[j] = 1.0;
    for (int k = 0; k < 3; ++k) st.c[k][j] = Clamp01(p.colour[k] * kInvColorOne);
  } else {
    Combine(st, j, p, lanesRule, lanes, staged);
  }
}

void Reset(ViewSpanState& st, int32_t lanesCount) {
  // Colours and the entry's pixels are written before they are read; lanes past the span
  // compute on whatever they hold and are never kept.
  std::fill_n(st.A, lanesCount, 0.0);
  for (int k = 0; k < 4; ++k) std::fill_n(st.copy[k], lanesCount, 0);
  std::fill_n(st.blend, lanesCount, uint8_t{0});
  std::fill_n(st.copied, lanesCount, 1);
  std::fill_n(st.filled, lanesCount, 0);
  std::fill_n(st.start, lanesCount, 0);
}

// For each position, the topmost entry above the first whose pixel replaces everything below it
// (0 where none does). Entries under it are then only asked whether they lay anything down.
// Returns the entry whose prepared pixels were kept (st.kept), or -1.
template <class PixelsOf>
int32_t FindCoveringEntries(const ViewRenderList& list, int32_t K, std::size_t rowAt,
                            const int32_t* columns, int32_t count, bool vectorAllowed,
                            const PixelsOf& pixelsOf, ViewSpanState& st) {
  int32_t open = count;
  int32_t keptEntry = -1;
  for (int32_t i = list.count - 1; i > 0 && open > 0; --i) {
    const ViewEntry& e = list.entries[i];
    if (!e.mayReplace) continue;
    const ViewSpanCoverKernel cover =
        vectorAllowed && !e.clip ? ViewSpanCoverVector(e.mode) : nullptr;
    if (cover) {
      open -= cover(st, count, {i, e.mode, e.opacityScale, K, e.background}, pixelsOf(e));
      if (keptEntry == -1) keptEntry = -2;
      continue;
    }
    // Without a pre-pass the alpha can only fall from the stored one (the layer mask scales it
    // down), and a replacing pixel needs 65280 or more.
    const bool storedAlphaBounds = !e.alphaMode && !e.background;
    // The first entry asked sees every position; an alpha-mode one keeps what it prepared.
    const bool keep = keptEntry == -1 && e.alphaMode;
    for (int32_t j = 0; j < count; ++j) {
      if (j + kAhead < count)
        __builtin_prefetch(e.pixels + rowAt + std::size_t(columns[j + kAhead]) * 4);
      if (st.start[j] != 0) continue;
      const std::size_t at = rowAt + std::size_t(columns[j]) * 4;
      if (storedAlphaBounds && e.pixels[at + 3] < 65280) continue;
      EntryPixel local;
      EntryPixel& p = keep ? st.kept[j] : local;
      const bool live = PrepareEntry(e, at, K, p);
      if (keep) st.keptLive[j] = live;
      if (live && ReplacesBelow(p)) {
        st.start[j] = i, --open;
        // A copy of alpha 65535 is the same over a filled or an empty composite.
        if (p.op == kViewOpNormal && p.a == 65535) st.filled[j] = 1;
      }
    }
    if (keptEntry == -1) keptEntry = keep ? i : -2;
  }
  return keptEntry >= 0 ? keptEntry : -1;
}

}  // namespace

void CompositeViewSpan(const ViewRenderList& list, int32_t K, std::size_t rowAt,
                       const int32_t* columns, int32_t count, bool contiguous, ViewSpanState& st) {
  const int32_t lanesCount = (count + 3) & ~3;
  if (!contiguous) {
    // Sampled positions lie far apart and each entry is walked on its own: ask for every line
    // the span will read at once, so that the reads overlap instead of waiting one by one.
    for (int32_t i = 0; i < list.count; ++i)
      for (int32_t j = 0; j < count; ++j)
        __builtin_prefetch(list.entries[i].pixels + rowAt + std::size_t(columns[j]) * 4);
  }
  const auto pixelsOf = [&](const ViewEntry& e) {
    return contiguous ? SpanPixels{e.pixels + rowAt + std::size_t(columns[0]) * 4, nullptr}
                      : SpanPixels{e.pixels + rowAt, columns};
  };
  Reset(st, lanesCount);
  const bool vectorAllowed = platform::CpuAtLeast(platform::CpuLevel::kAvx2);
  const int32_t keptEntry =
      FindCoveringEntries(list, K, rowAt, columns, count, vectorAllowed, pixelsOf, st);

  for (int32_t i = 0; i < list.count; ++i) {
    const ViewEntry& e = list.entries[i];
    // An entry without layer mask goes through whole on vector lanes where its mode has them.
    const ViewSpanEntryKernel whole =
        vectorAllowed && !e.clip ? ViewSpanEntryVector(e.mode) : nullptr;
    if (whole) {
      whole(st, count, {i, e.mode, e.opacityScale, K, e.background}, pixelsOf(e));
      continue;
    }
    // Alpha modes blend by the Normal rule unless their pre-pass redirects a pixel.
    const BlendRule lanesRule = e.alphaMode ? BlendRule::kNormal : ModeInfo(e.mode).rule;
    const ViewSpanBlendKernel kernel = vectorAllowed ? ViewSpanBlendVector(lanesRule) : nullptr;
    const bool lanes = kernel != nullptr;
    bool staged = false;
    for (int32_t j = 0; j < count; ++j) {
      const int32_t start = st.start[j];
      const std::size_t at = rowAt + std::size_t(columns[j]) * 4;
      EntryPixel p;
      if (i < start) {
        if (!st.filled[j] && PrepareEntry(e, at, K, p) && p.a != 0 && !IsTextureOp(p.op))
          st.filled[j] = 1;
        continue;
      }
      if (i == keptEntry) {
        if (!st.keptLive[j]) continue;
        p = st.kept[j];
      } else if (!PrepareEntry(e, at, K, p)) {
        continue;
      }
      if (i == start && i > 0) {
        StartWith(st, j, p, lanesRule, lanes, staged);
      } else {
        Combine(st, j, p, lanesRule, lanes, staged);
      }
    }
    if (staged) {
      kernel(st, lanesCount);
      std::fill_n(st.blend, lanesCount, uint8_t{0});
    }
  }
}

void FinishViewSpan(const ViewSpanState& st, int32_t count, Pixel16* out) {
  for (int32_t j = 0; j < count; ++j) {
    if (st.copied[j]) {
      out[j] = {uint32_t(st.copy[0][j]), uint32_t(st.copy[1][j]), uint32_t(st.copy[2][j]),
                uint32_t(st.copy[3][j])};
    } else {
      out[j] = {uint32_t(st.c[0][j] * 65280.0), uint32_t(st.c[1][j] * 65280.0),
                uint32_t(st.c[2][j] * 65280.0), uint32_t(st.A[j] * 65535.0)};
    }
  }
}

void SetViewSpansForTesting(bool enabled) noexcept {
  gSpans.store(enabled, std::memory_order_relaxed);
}
bool ViewSpansEnabled() noexcept { return gSpans.load(std::memory_order_relaxed); }
void SetViewOnePassForTesting(bool enabled) noexcept {
  gOnePass.store(enabled, std::memory_order_relaxed);
}
ViewSpanBlendKernel ViewSpanBlendVector(BlendRule rule) {
  const auto index = static_cast<std::size_t>(rule);
  if (!platform::CpuAtLeast(platform::CpuLevel::kAvx2) || index >= kViewSpanBlendAvx2.size()) {
    return nullptr;
  }
  return kViewSpanBlendAvx2[index];
}

namespace {

// The kernels by mode; modes outside the table have none.
template <class Table>
auto ByMode(const Table& table, int32_t mode) -> typename Table::value_type {
  if (!platform::CpuAtLeast(platform::CpuLevel::kAvx2) || mode < 0 ||
      std::size_t(mode) >= table.size()) {
    return nullptr;
  }
  return table[std::size_t(mode)];
}

}  // namespace

ViewSpanEntryKernel ViewSpanEntryVector(int32_t mode) { return ByMode(kViewSpanEntryAvx2, mode); }
ViewSpanCoverKernel ViewSpanCoverVector(int32_t mode) { return ByMode(kViewSpanCoverAvx2, mode); }

ViewFusedSpanKernel ViewFusedSpanVector(const ViewRenderList& list) {
  if (!kViewFusedSpanAvx512 || !gOnePass.load(std::memory_order_relaxed) ||
      !platform::CpuAtLeast(platform::CpuLevel::kAvx512)) {
    return nullptr;
  }
  for (int32_t i = 0; i < list.count; ++i) {
    // Texturize3 layers are never listed, nor a paint layer in that mode.
    if (list.entries[i].mode == kModeTexturize3) return nullptr;
  }
  return kViewFusedSpanAvx512;
}

ViewSpanOutputKernel ViewSpanOutputVector() {
  return platform::CpuAtLeast(platform::CpuLevel::kAvx2) ? kViewSpanOutputAvx2 : nullptr;
}

}  // namespace render
