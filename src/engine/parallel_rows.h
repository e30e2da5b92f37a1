// Splits whole-canvas row loops across the machine's cores. Callers pass only work in which every
// row is independent of the others, so the result is the same bit for bit as the serial loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace engine {

// Calls rows(begin, end) over bands that cover 0..rowCount - 1, each row exactly once; the
// threads take bands as they become free. Small jobs (under a few megabytes of traffic) run on
// the calling thread in one band; so does everything when no thread can be started. A failure
// thrown by any band is thrown to the caller once every thread has stopped.
void ForRowBands(int32_t rowCount, std::size_t bytesPerRow,
                 const std::function<void(int32_t, int32_t)>& rows);

// Test and benchmark hook: 1 forces serial work, 0 restores the automatic choice.
void SetRowBandThreadsForTesting(int32_t threads) noexcept;

}  // namespace engine
