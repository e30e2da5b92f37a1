// Row bands: every row visited once, and a band that fails reaches the caller instead of ending
// the program from a worker thread.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <vector>

#include "engine/parallel_rows.h"

namespace {

TEST(ParallelRows, EveryRowOnceAndAHelpersFailureReachesTheCaller) {
  engine::SetRowBandThreadsForTesting(3);
  std::vector<std::atomic<int>> seen(1000);
  engine::ForRowBands(1000, 1 << 20, [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) seen[y].fetch_add(1);
  });
  for (const auto& count : seen) ASSERT_EQ(count.load(), 1);
  // A band that fails, on whichever thread takes it, is thrown here rather than ending the
  // process; the engine stays usable afterwards.
  for (int failing : {0, 700, 999}) {
    SCOPED_TRACE(failing);
    EXPECT_THROW(engine::ForRowBands(1000, 1 << 20,
                                     [&](int32_t begin, int32_t end) {
                                       if (begin <= failing && failing < end) throw std::bad_alloc();
                                     }),
                 std::bad_alloc);
  }
  std::atomic<int> rows{0};
  engine::ForRowBands(64, 1 << 20, [&](int32_t begin, int32_t end) { rows += end - begin; });
  EXPECT_EQ(rows.load(), 64);
  engine::SetRowBandThreadsForTesting(0);
}

}  // namespace
