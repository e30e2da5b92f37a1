#include <gtest/gtest.h>

#include "platform/display_latch.h"
#include "platform/memory_status.h"

namespace {

TEST(MemoryStatus, ReadsTheMachinesFigures) {
  platform::OverrideMemoryStatusForTesting(nullptr);
  platform::MemoryStatus status;
  ASSERT_TRUE(platform::ReadMemoryStatus(status));
  EXPECT_GT(status.totalPhysical, uint64_t{64} << 20);
  EXPECT_LE(status.availablePhysical, status.totalPhysical);
  // The page-file figures count physical memory too, so they are never below it.
  EXPECT_GE(status.totalPageFile, status.totalPhysical);
  EXPECT_GE(status.availablePageFile, status.availablePhysical);
}

TEST(MemoryStatus, TestOverrideIsReportedUntilCleared) {
  platform::MemoryStatus fake;
  fake.availablePhysical = 12345;
  platform::OverrideMemoryStatusForTesting(&fake);
  platform::MemoryStatus read;
  ASSERT_TRUE(platform::ReadMemoryStatus(read));
  EXPECT_EQ(read.availablePhysical, 12345u);
  platform::OverrideMemoryStatusForTesting(nullptr);
  ASSERT_TRUE(platform::ReadMemoryStatus(read));
  EXPECT_NE(read.availablePhysical, 12345u);
}

TEST(DisplayLatch, EachSignalIsTakenOnce) {
  platform::TakeDisplayChange();
  platform::SignalDisplayChange();
  platform::SignalDisplayChange();
  EXPECT_TRUE(platform::TakeDisplayChange());
  EXPECT_FALSE(platform::TakeDisplayChange());
}

}  // namespace
