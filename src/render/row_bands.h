// Runs whole-canvas row loops on the machine's cores. Callers pass only work in which rows are
// independent of each other, so the result is bit-identical to one serial pass.
#pragma once

#include <cstdint>

namespace render {

using RowBandFn = void (*)(void* context, int32_t firstRow, int32_t endRow);

// Calls band(context, first, end) over bands of bandRows rows that together cover 0..rows - 1.
// Work of fewer than about 64K pixels (pixelsPerRow x rows) runs on the calling thread in one
// band. The worker threads are started once and kept; nothing is allocated per call. A call made
// while another is running (from a band, or from a second thread) runs serially.
void ForRowBands(int32_t rows, int32_t bandRows, int64_t pixelsPerRow, RowBandFn band,
                 void* context);

template <class Fn>
void ForRowBands(int32_t rows, int32_t bandRows, int64_t pixelsPerRow, Fn& fn) {
  ForRowBands(
      rows, bandRows, pixelsPerRow,
      [](void* context, int32_t first, int32_t end) { (*static_cast<Fn*>(context))(first, end); },
      &fn);
}

// Test and benchmark hook: the number of threads used (1 forces serial work; 0 restores the
// machine's count).
void SetRowBandThreadsForTesting(int32_t threads) noexcept;

}  // namespace render
