// Row bands: every row visited once, and a band that fails reaches the caller instead of ending
// the program from a worker thread.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <vector>

#include "engine/parallel_rows.h"

namespace {

class ParallelRows : public ::testing::Test {
 protected:
  void SetUp() override { engine::SetRowBandThreadsForTesting(3); }
  void TearDown() override { engine::SetRowBandThreadsForTesting(0); }
};

TEST_F(ParallelRows, EveryRowOnceAndAFailingBandReachesTheCaller) {
  for (int failing : {-1, 0, 2}) {  // none, the calling thread's band, a worker's band
    SCOPED_TRACE(failing);
    std::vector<std::atomic<int>> visits(30);
    auto run = [&] {
      engine::ForRowBands(30, 1, [&](int32_t begin, int32_t end) {
        for (int32_t y = begin; y < end; ++y) ++visits[y];
        if (begin == failing * 10) throw std::bad_alloc();
      });
    };
    if (failing < 0) {
      run();
    } else {
      EXPECT_THROW(run(), std::bad_alloc);
    }
    // The other bands ran to their end before the failure was passed on.
    for (const auto& v : visits) EXPECT_EQ(v.load(), 1);
  }
}

}  // namespace
