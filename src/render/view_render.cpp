#include "render/view_render.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_stack.h"
#include "engine/parallel_rows.h"
#include "render/view_composite.h"
#include "render/view_output.h"
#include "render/view_render_list.h"
#include "render/view_span.h"

namespace render {
namespace {

// Everything a row needs, worked out once per call.
struct ViewFrame {
  ViewRenderList list;
  ViewOutput out;
  int32_t K = 0;                 // alphaLayerOpacity
  std::size_t canvasStride = 0;  // in 16-bit samples
  std::size_t maskStride = 0;
  uint8_t* target = nullptr;
  std::size_t targetStride = 0;
  int32_t x0 = 0, y0 = 0;
  int32_t columns = 0, rows = 0;        // output size
  ViewFusedSpanKernel fused = nullptr;  // the one-pass span kernel where the list allows it
};

// Canvas coordinates of the sampling path, kept between calls so that rendering allocates only
// when the view grows.
struct SampleTables {
  int32_t* columns = nullptr;
  int32_t* rows = nullptr;
  std::size_t columnCapacity = 0, rowCapacity = 0;
};
SampleTables gSampleTables;

int32_t* Reserve(int32_t*& table, std::size_t& capacity, std::size_t count) {
  if (count > capacity) {
    int32_t* grown = engine::AllocatePlane<int32_t>(count);
    engine::ReleasePlane(table);
    table = grown;
    capacity = count;
  }
  return table;
}

// Rows are independent (each output pixel depends only on its own canvas position), so the
// picture is the same however the rows are shared out. A pixel reads every listed layer's sample
// and writes three bytes.
template <class RowFn>
void ForEachRow(const ViewFrame& f, RowFn row) {
  const std::size_t bytesPerRow = std::size_t(f.columns) * (8 * (f.list.count + 1) + 3);
  engine::ForRowBands(f.rows, bytesPerRow, [&row](int32_t begin, int32_t end) {
    for (int32_t k = begin; k < end; ++k) row(k);
  });
}

uint8_t* TargetRow(const ViewFrame& f, int32_t k) {
  return f.target + std::size_t(k) * f.targetStride;
}

// Bands of rows for the span paths, which set up their state once per band. A band holds at
// least kMinBandWork positions times the entries composited at each (some 50 microseconds of
// work, about what waking a helper and setting up a band cost), so that a view too small to be
// worth splitting is drawn by the calling thread alone, however many threads are asked for.
constexpr int64_t kMinBandWork = int64_t{1} << 14;
template <class BandFn>
void ForEachBand(const ViewFrame& f, BandFn band) {
  const std::size_t bytesPerRow = std::size_t(f.columns) * (8 * (f.list.count + 1) + 3);
  const int64_t rowWork = int64_t{f.columns} * (f.list.count + 1);
  const auto leastRows =
      static_cast<int32_t>(std::min<int64_t>(f.rows, (kMinBandWork + rowWork - 1) / rowWork));
  const int32_t poolRows = f.rows / (8 * engine::RowBandThreads());
  engine::ForRowBands(f.rows, bytesPerRow, band, std::max({1, leastRows, poolRows}));
}

// The span paths: each row is composited a span of positions at a time, entry by entry, into
// the same pixels the per-pixel paths below give.

// One output row of a span path: the canvas row it shows and how its pixels are written.
struct SpanRow {
  const ViewFrame& f;
  ViewSpanState& st;
  int32_t cy;
  const uint16_t* maskRow;
  bool oneToOne;
  bool contiguous;  // the columns of a span follow each other
};

// The bytes of count positions from bgr into the row from out on, each repeated replicate times,
// never at or past end.
void PlaceSpan(const uint8_t* bgr, int32_t count, uint8_t* out, int32_t replicate,
               const uint8_t* end) {
  if (replicate == 1) {
    std::memcpy(out, bgr, std::size_t(std::min<std::ptrdiff_t>(count * 3, end - out)));
    return;
  }
  for (int32_t j = 0; j < count; ++j)
    for (int32_t n = 0; n < replicate && out < end; ++n, out += 3)
      out[0] = bgr[3 * j], out[1] = bgr[3 * j + 1], out[2] = bgr[3 * j + 2];
}

// Composites the canvas positions (columns[j], cy), j < count, and writes them as output pixels
// from out on, each repeated replicate times, but never at or past end. columns holds whole
// groups of sixteen (the last filled with columns that may be read).
void WriteSpan(const SpanRow& r, const int32_t* columns, int32_t count, uint8_t* out,
               int32_t replicate, const uint8_t* end) {
  const std::size_t rowAt = std::size_t(r.cy) * r.f.canvasStride;
  if (r.f.fused) {
    alignas(32) uint8_t bgr[3 * kViewSpan + 16];
    const ViewSpanOutputRow row{&r.f.out,  columns,
                                r.cy,      r.f.out.tracing ? r.f.out.tracing + rowAt : nullptr,
                                r.maskRow, r.oneToOne};
    // Unreplicated, the kernel writes its three bytes a position straight into the row.
    if (replicate == 1 && end - out >= std::ptrdiff_t{3} * count) {
      r.f.fused(r.f.list, r.f.K, rowAt, columns, count, r.contiguous, row, out);
      return;
    }
    r.f.fused(r.f.list, r.f.K, rowAt, columns, count, r.contiguous, row, bgr);
    PlaceSpan(bgr, count, out, replicate, end);
    return;
  }
  CompositeViewSpan(r.f.list, r.f.K, rowAt, columns, count, r.contiguous, r.st);
  if (const ViewSpanOutputKernel output = ViewSpanOutputVector()) {
    alignas(16) uint8_t bgr[3 * kViewSpan + 16];
    const ViewSpanOutputRow row{&r.f.out,  columns,
                                r.cy,      r.f.out.tracing ? r.f.out.tracing + rowAt : nullptr,
                                r.maskRow, r.oneToOne};
    output(r.st, count, row, bgr);
    PlaceSpan(bgr, count, out, replicate, end);
    return;
  }
  Pixel16 px[kViewSpan];
  FinishViewSpan(r.st, count, px);
  for (int32_t j = 0; j < count; ++j) {
    const int32_t cx = columns[j];
    const std::size_t at = rowAt + std::size_t(cx) * 4;
    uint8_t bgr[3];
    WriteViewPixel(r.f.out, px[j], cx, r.cy, at, r.maskRow ? r.maskRow[cx] : 0, r.oneToOne, bgr);
    for (int32_t n = 0; n < replicate && out < end; ++n, out += 3)
      out[0] = bgr[0], out[1] = bgr[1], out[2] = bgr[2];
  }
}

// The columns of a span, count of them from columns on, filled up to whole groups of sixteen with
// the last.
void PadColumns(int32_t* columns, int32_t count) {
  for (int32_t j = count; j < ((count + 15) & ~15); ++j) columns[j] = columns[count - 1];
}

// Output rows [begin, end) at 1:1 or replicated (factor 1 is 1:1): canvas row y0 + k / factor,
// columns x0, x0 + 1, ... each shown factor times. A row that shows the same canvas row as the
// one above it is a copy of it.
void SpanRowsContiguous(const ViewFrame& f, int32_t factor, bool oneToOne, int32_t begin,
                        int32_t end) {
  // Some 70 KB: from the heap, not the stack of whichever thread draws.
  const engine::OwnedPlane<ViewSpanState> state = engine::MakeOwnedPlane<ViewSpanState>(1);
  ViewSpanState& st = state[0];
  alignas(16) int32_t columns[kViewSpan];
  const int32_t canvasColumns = (f.columns + factor - 1) / factor;
  const std::size_t rowBytes = std::size_t(f.columns) * 3;
  for (int32_t k = begin; k < end; ++k) {
    uint8_t* out = TargetRow(f, k);
    if (k > begin && k / factor == (k - 1) / factor) {
      std::memcpy(out, TargetRow(f, k - 1), rowBytes);
      continue;
    }
    const int32_t cy = f.y0 + k / factor;
    const SpanRow r{f,        st,
                    cy,       f.out.mask ? f.out.mask + std::size_t(cy) * f.maskStride : nullptr,
                    oneToOne, true};
    for (int32_t q = 0; q < canvasColumns; q += kViewSpan) {
      const int32_t count = std::min(kViewSpan, canvasColumns - q);
      // The one-pass kernel needs only the first column of a contiguous span.
      const int32_t listed = f.fused ? 1 : count;
      for (int32_t j = 0; j < listed; ++j) columns[j] = f.x0 + q + j;
      PadColumns(columns, listed);
      WriteSpan(r, columns, count, out + std::size_t(q) * factor * 3, factor, out + rowBytes);
    }
  }
}

void SpanRowsSampled(const ViewFrame& f, const int32_t* cols, const int32_t* rows, float step,
                     int32_t canvasHeight, int32_t begin, int32_t end) {
  // Some 70 KB: from the heap, not the stack of whichever thread draws.
  const engine::OwnedPlane<ViewSpanState> state = engine::MakeOwnedPlane<ViewSpanState>(1);
  ViewSpanState& st = state[0];
  alignas(16) int32_t columns[kViewSpan];
  const std::size_t rowBytes = std::size_t(f.columns) * 3;
  for (int32_t k = begin; k < end; ++k) {
    const auto maskY =
        std::min(static_cast<int32_t>(static_cast<float>(f.y0) + step * static_cast<float>(k)),
                 canvasHeight - 1);
    const SpanRow r{f,       st,
                    rows[k], f.out.mask ? f.out.mask + std::size_t(maskY) * f.maskStride : nullptr,
                    false,   false};
    uint8_t* out = TargetRow(f, k);
    for (int32_t q = 0; q < f.columns; q += kViewSpan) {
      const int32_t count = std::min(kViewSpan, f.columns - q);
      std::copy_n(cols + q, count, columns);
      PadColumns(columns, count);
      WriteSpan(r, columns, count, out + std::size_t(q) * 3, 1, out + rowBytes);
    }
  }
}

// S = I: output pixel (x - x0, y - y0) shows canvas pixel (x, y).
void RenderOneToOne(const ViewFrame& f) {
  if (ViewSpansEnabled()) {
    ForEachBand(f,
                [&f](int32_t begin, int32_t end) { SpanRowsContiguous(f, 1, true, begin, end); });
    return;
  }
  ForEachRow(f, [&f](int32_t k) {
    const int32_t cy = f.y0 + k;
    uint8_t* out = TargetRow(f, k);
    const std::size_t rowAt = std::size_t(cy) * f.canvasStride;
    const uint16_t* maskRow = f.out.mask ? f.out.mask + std::size_t(cy) * f.maskStride : nullptr;
    for (int32_t j = 0; j < f.columns; ++j, out += 3) {
      const int32_t cx = f.x0 + j;
      const std::size_t at = rowAt + std::size_t(cx) * 4;
      const Pixel16 p = CompositeViewPixel(f.list, at, f.K);
      WriteViewPixel(f.out, p, cx, cy, at, maskRow ? maskRow[cx] : 0, true, out);
    }
  });
}

// S > I: each output pixel shows one canvas pixel, stepping S canvas pixels a time.
void RenderSampled(const ViewFrame& f, float step, int32_t canvasWidth, int32_t canvasHeight) {
  int32_t* cols = Reserve(gSampleTables.columns, gSampleTables.columnCapacity, f.columns);
  int32_t* rows = Reserve(gSampleTables.rows, gSampleTables.rowCapacity, f.rows);
  // The position advances by the integer part of a fraction that gains S per output pixel. It is
  // limited to the canvas: the accumulated float never walks past it, but the reads must not rely
  // on rounding.
  const auto walk = [step](int32_t* table, int32_t count, int32_t start, int32_t limit) {
    int32_t position = start;
    float fraction = 0.0f;
    for (int32_t k = 0; k < count; ++k) {
      table[k] = std::min(position, limit - 1);
      fraction += step;
      const auto whole = static_cast<int32_t>(fraction);
      position += whole;
      fraction -= static_cast<float>(whole);
    }
  };
  walk(cols, f.columns, f.x0, canvasWidth);
  walk(rows, f.rows, f.y0, canvasHeight);
  if (ViewSpansEnabled()) {
    ForEachBand(f, [&](int32_t begin, int32_t end) {
      SpanRowsSampled(f, cols, rows, step, canvasHeight, begin, end);
    });
    return;
  }
  ForEachRow(f, [&f, cols, rows, step, canvasHeight](int32_t k) {
    const int32_t cy = rows[k];
    // The mask row is computed directly from the output row, not by the fraction.
    const auto maskY =
        std::min(static_cast<int32_t>(static_cast<float>(f.y0) + step * static_cast<float>(k)),
                 canvasHeight - 1);
    const uint16_t* maskRow = f.out.mask ? f.out.mask + std::size_t(maskY) * f.maskStride : nullptr;
    const std::size_t rowAt = std::size_t(cy) * f.canvasStride;
    uint8_t* out = TargetRow(f, k);
    for (int32_t j = 0; j < f.columns; ++j, out += 3) {
      const int32_t cx = cols[j];
      const std::size_t at = rowAt + std::size_t(cx) * 4;
      const Pixel16 p = CompositeViewPixel(f.list, at, f.K);
      WriteViewPixel(f.out, p, cx, cy, at, maskRow ? maskRow[cx] : 0, false, out);
    }
  });
}

// S < I: each canvas pixel becomes an I x I block, composited once and written I times along the
// row.
void RenderReplicated(const ViewFrame& f, int32_t factor) {
  if (ViewSpansEnabled()) {
    ForEachBand(f, [&f, factor](int32_t begin, int32_t end) {
      SpanRowsContiguous(f, factor, false, begin, end);
    });
    return;
  }
  ForEachRow(f, [&f, factor](int32_t k) {
    const int32_t cy = f.y0 + k / factor;
    const std::size_t rowAt = std::size_t(cy) * f.canvasStride;
    const uint16_t* maskRow = f.out.mask ? f.out.mask + std::size_t(cy) * f.maskStride : nullptr;
    uint8_t* out = TargetRow(f, k);
    for (int32_t j = 0; j < f.columns;) {
      const int32_t cx = f.x0 + j / factor;
      const std::size_t at = rowAt + std::size_t(cx) * 4;
      uint8_t bgr[3];
      WriteViewPixel(f.out, CompositeViewPixel(f.list, at, f.K), cx, cy, at,
                     maskRow ? maskRow[cx] : 0, false, bgr);
      for (const int32_t end = std::min(f.columns, j + factor); j < end; ++j, out += 3)
        out[0] = bgr[0], out[1] = bgr[1], out[2] = bgr[2];
    }
  });
}

// The last output column or row, counted from first, limited to the view size. Computed wide so
// that no zoom can overflow it.
int32_t OutputCount(int64_t last, int32_t first, int32_t viewSize) {
  last = std::min<int64_t>(last, int64_t{first} + viewSize - 1);
  return last < first ? 0 : static_cast<int32_t>(last - first + 1);
}

}  // namespace

int32_t Render(uint8_t* target, int32_t targetStride, int32_t x, int32_t y, int32_t width,
               int32_t height) {
  const engine::EngineState& s = engine::State();
  if (!s.currentLayer || !s.currentLayer->pixels || !target) return 0;
  if (s.canvasWidth <= 0 || s.canvasHeight <= 0) return 1;

  // The rectangle starts inside the canvas and ends at its edge; a start left of or above it is
  // moved to 0 without shortening the rectangle.
  const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  if (int64_t{x0} + width > s.canvasWidth) width = s.canvasWidth - x0;
  if (int64_t{y0} + height > s.canvasHeight) height = s.canvasHeight - y0;

  const float step = s.viewScale;
  const int32_t factor = s.viewScaleLevel;
  const float factorAsFloat = static_cast<float>(factor);
  int32_t columns = 0, rows = 0;
  enum class Path { kNone, kOneToOne, kSampled, kReplicated } path = Path::kNone;
  if (step == factorAsFloat) {
    path = Path::kOneToOne;
    columns = OutputCount(int64_t{x0} + width - 1, x0, s.viewWidth);
    rows = OutputCount(int64_t{y0} + height - 1, y0, s.viewHeight);
  } else if (step > factorAsFloat) {
    // A step of 0 or below (possible with a negative factor) or an infinite one samples nothing.
    if (step > 0.0f && std::isfinite(step) && width > 0 && height > 0) {
      path = Path::kSampled;
      const float lastX = static_cast<float>(x0) + static_cast<float>(width) / step - 1.0f;
      const float lastY = static_cast<float>(y0) + static_cast<float>(height) / step - 1.0f;
      // Beyond the canvas-bounded view sizes the exact last position no longer matters.
      const auto bounded = [](float v) { return static_cast<int64_t>(std::min(v, 4.0e9f)); };
      columns = OutputCount(bounded(lastX), x0, s.viewWidth);
      rows = OutputCount(bounded(lastY), y0, s.viewHeight);
    }
  } else if (step < factorAsFloat && factor >= 1) {
    path = Path::kReplicated;
    columns = OutputCount(int64_t{x0} + int64_t{factor} * width - 1, x0, s.viewWidth);
    rows = OutputCount(int64_t{y0} + int64_t{factor} * height - 1, y0, s.viewHeight);
  }
  if (path == Path::kNone || columns <= 0 || rows <= 0) return 1;
  if (targetStride < 0 || std::size_t(targetStride) < std::size_t(columns) * 3) return 1;

  ViewFrame f;
  BuildViewRenderList(s, f.list);
  f.out = ViewOutput{};
  if (s.tracingMode && engine::IsCanvasSized(s.traceLayer)) f.out.tracing = s.traceLayer->pixels;
  if (s.maskDisplayed && s.maskEnabled && s.maskPlane) {
    f.out.mask = s.maskPlane;
    f.out.fullStrength = s.maskFullStrength != 0;
    for (int k = 0; k < 3; ++k)
      f.out.tintOdd[k] = s.maskTintOdd[k], f.out.tintEven[k] = s.maskTintEven[k];
  }
  f.K = s.alphaLayerOpacity;
  f.canvasStride = std::size_t(s.canvasStride);
  f.maskStride = std::size_t(s.canvasWidth);
  f.target = target;
  f.targetStride = std::size_t(targetStride);
  f.x0 = x0, f.y0 = y0;
  f.columns = columns, f.rows = rows;
  f.fused = ViewFusedSpanVector(f.list);

  switch (path) {
    case Path::kOneToOne:
      RenderOneToOne(f);
      break;
    case Path::kSampled:
      RenderSampled(f, step, s.canvasWidth, s.canvasHeight);
      break;
    case Path::kReplicated:
      RenderReplicated(f, factor);
      break;
    case Path::kNone:
      break;
  }
  return 1;
}

}  // namespace render
