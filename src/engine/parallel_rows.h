// Splits row loops across the machine's cores on one pool of threads that is started once and
// kept. Callers pass only work in which every row is independent of the others, so the result is
// the same bit for bit as the serial loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace engine {

// Work of less memory traffic than this (rows x bytes a row) runs on the calling thread in one
// band: waking a helper costs more than it saves.
inline constexpr std::size_t kMinParallelBytes = std::size_t{1} << 20;

using RowBandFn = void (*)(void* context, int32_t begin, int32_t end);

// The untyped core of ForRowBands below.
void RunRowBands(int32_t rowCount, std::size_t bytesPerRow, int32_t bandRows, RowBandFn band,
                 void* context);

// Calls rows(begin, end) over bands that cover 0..rowCount - 1, each row exactly once; the pool's
// threads and the caller take bands as they become free. bandRows fixes the band height; 0 lets
// the pool choose. Small jobs, calls made while the pool is busy (from a band, or from a second
// thread) and machines without a spare thread run serially on the caller. A failure thrown by
// any band (std::bad_alloc included) stops the hand-out of further bands and is thrown to the
// caller once every band in flight has finished. Nothing is allocated per call.
template <class Fn>
void ForRowBands(int32_t rowCount, std::size_t bytesPerRow, Fn&& rows, int32_t bandRows = 0) {
  using Callable = std::remove_reference_t<Fn>;
  RunRowBands(
      rowCount, bytesPerRow, bandRows,
      [](void* context, int32_t begin, int32_t end) {
        (*static_cast<Callable*>(context))(begin, end);
      },
      const_cast<void*>(static_cast<const void*>(&rows)));
}

// The number of threads (caller included) a large job is shared between.
int32_t RowBandThreads() noexcept;

// Test and benchmark hook: 1 forces serial work; n > 1 splits every job of two or more rows
// between n threads, however small; 0 restores the automatic choice.
void SetRowBandThreadsForTesting(int32_t threads) noexcept;

}  // namespace engine
