// Row bands: every row visited once however the work is split, a band that fails reaches the
// caller instead of ending the program from a worker thread, and work too small to split stays on
// the calling thread.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/parallel_rows.h"

namespace {

class ParallelRows : public ::testing::Test {
 protected:
  void TearDown() override { engine::SetRowBandThreadsForTesting(0); }
};

void ExpectEveryRowOnce(int32_t rowCount, int32_t bandRows) {
  SCOPED_TRACE(::testing::Message() << rowCount << " rows, bands of " << bandRows);
  std::vector<std::atomic<int>> seen(std::size_t(rowCount) + 1);
  engine::ForRowBands(
      rowCount, std::size_t{1} << 20,
      [&](int32_t begin, int32_t end) {
        ASSERT_LE(0, begin);
        ASSERT_LT(begin, end);
        ASSERT_LE(end, rowCount);
        // Split work keeps to the band height; serial work is one band.
        if (bandRows > 0 && end - begin < rowCount) {
          ASSERT_LE(end - begin, bandRows);
        }
        for (int32_t y = begin; y < end; ++y) seen[y].fetch_add(1);
      },
      bandRows);
  for (int32_t y = 0; y < rowCount; ++y) ASSERT_EQ(seen[y].load(), 1) << "row " << y;
  EXPECT_EQ(seen[rowCount].load(), 0);
}

TEST_F(ParallelRows, EveryRowOnceForAnySplit) {
  for (int32_t threads : {0, 1, 2, 3, 7}) {
    engine::SetRowBandThreadsForTesting(threads);
    for (int32_t rows : {1, 2, 3, 63, 1000})
      for (int32_t bandRows : {0, 1, 7, 5000}) ExpectEveryRowOnce(rows, bandRows);
  }
  int calls = 0;
  engine::ForRowBands(0, 1 << 20, [&](int32_t, int32_t) { ++calls; });
  engine::ForRowBands(-5, 1 << 20, [&](int32_t, int32_t) { ++calls; });
  EXPECT_EQ(calls, 0);
}

TEST_F(ParallelRows, AFailingBandReachesTheCallerAndThePoolStaysUsable) {
  engine::SetRowBandThreadsForTesting(3);
  for (int failing : {0, 700, 999}) {
    SCOPED_TRACE(failing);
    EXPECT_THROW(engine::ForRowBands(1000, 1 << 20,
                                     [&](int32_t begin, int32_t end) {
                                       if (begin <= failing && failing < end)
                                         throw std::bad_alloc();
                                     }),
                 std::bad_alloc);
  }
  // Only the first failure is thrown, and it keeps its type.
  EXPECT_THROW(engine::ForRowBands(
                   100, 1 << 20, [](int32_t, int32_t) { throw std::length_error("band"); }, 1),
               std::length_error);
  ExpectEveryRowOnce(1000, 0);
}

TEST_F(ParallelRows, NestedAndConcurrentCallsFinish) {
  engine::SetRowBandThreadsForTesting(3);
  std::atomic<int64_t> total{0};
  // A band that splits rows itself runs its inner loop serially rather than waiting on the pool
  // it occupies.
  engine::ForRowBands(40, 1 << 20, [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y)
      engine::ForRowBands(50, 1 << 20, [&](int32_t b, int32_t e) { total += e - b; });
  });
  EXPECT_EQ(total.load(), 40 * 50);
  total = 0;
  std::thread other([&] {
    for (int i = 0; i < 50; ++i)
      engine::ForRowBands(300, 1 << 20, [&](int32_t b, int32_t e) { total += e - b; });
  });
  for (int i = 0; i < 50; ++i)
    engine::ForRowBands(300, 1 << 20, [&](int32_t b, int32_t e) { total += e - b; });
  other.join();
  EXPECT_EQ(total.load(), 2 * 50 * 300);
}

TEST_F(ParallelRows, SmallWorkStaysOnTheCallingThreadInOneBand) {
  const auto caller = std::this_thread::get_id();
  const std::size_t perRow = 4096;
  const auto rows = int32_t(engine::kMinParallelBytes / perRow) - 1;
  int bands = 0;
  bool elsewhere = false;
  engine::ForRowBands(rows, perRow, [&](int32_t begin, int32_t end) {
    ++bands;
    elsewhere |= std::this_thread::get_id() != caller;
    EXPECT_EQ(begin, 0);
    EXPECT_EQ(end, rows);
  });
  EXPECT_EQ(bands, 1);
  EXPECT_FALSE(elsewhere);
  // A byte count a row that would overflow the product still counts as large, not small.
  std::atomic<int32_t> covered{0};
  engine::ForRowBands(3, SIZE_MAX / 2, [&](int32_t b, int32_t e) { covered += e - b; });
  EXPECT_EQ(covered.load(), 3);
}

}  // namespace
