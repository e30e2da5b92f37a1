// The scratch pool: blocks come back warm, the idle bytes stay within the bound, trims and canvas
// changes empty it, the heap's ceiling still refuses, and the image library's temporaries and the
// effect frame's buffers go through it.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/scratch_pool.h"
#include "imaging/scratch.h"
#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;

class ScratchPool : public EngineTest {
 protected:
  void TearDown() override {
    engine::SetIdleScratchLimitForTesting(0);
    engine::SetAllocationCeilingForTesting(0);
    engine::TrimScratch();
    EngineTest::TearDown();
  }
};

constexpr std::size_t kMiB = std::size_t{1} << 20;

TEST_F(ScratchPool, ABlockIsLentAgainOnlyToARequestItFits) {
  engine::TrimScratch();
  void* first = engine::AcquireScratch(3 * kMiB);
  std::memset(first, 7, 3 * kMiB);  // the whole block is usable
  engine::ReturnScratch(first);
  EXPECT_EQ(engine::IdleScratchBytes(), 3 * kMiB);
  // A smaller request takes the kept block; while it is lent, another request gets a new one.
  void* again = engine::AcquireScratch(2 * kMiB);
  EXPECT_EQ(again, first);
  EXPECT_EQ(engine::IdleScratchBytes(), 0u);
  void* other = engine::AcquireScratch(2 * kMiB);
  EXPECT_NE(other, first);
  engine::ReturnScratch(again);
  engine::ReturnScratch(other);
  // A block more than four times the request is kept for a request of its size.
  void* row = engine::AcquireScratch(kMiB / 4);
  EXPECT_NE(row, first);
  EXPECT_NE(row, other);
  void* big = engine::AcquireScratch(3 * kMiB);
  EXPECT_EQ(big, first);
  engine::ReturnScratch(row);
  engine::ReturnScratch(big);
  engine::TrimScratch();
  EXPECT_EQ(engine::IdleScratchBytes(), 0u);
  // Null and blocks from elsewhere are accepted (the latter released to the heap).
  engine::ReturnScratch(nullptr);
  engine::ReturnScratch(engine::AllocateBytes(100));
  EXPECT_EQ(engine::IdleScratchBytes(), 0u);
}

TEST_F(ScratchPool, IdleBytesStayWithinTheBoundLargestReleasedFirst) {
  engine::TrimScratch();
  engine::SetIdleScratchLimitForTesting(5 * kMiB);
  void* a = engine::AcquireScratch(1 * kMiB);
  void* b = engine::AcquireScratch(2 * kMiB);
  void* c = engine::AcquireScratch(3 * kMiB);
  engine::ReturnScratch(a);
  engine::ReturnScratch(b);
  EXPECT_EQ(engine::IdleScratchBytes(), 3 * kMiB);
  engine::ReturnScratch(c);  // 6 MiB idle is over the bound: the 3 MiB block goes
  EXPECT_EQ(engine::IdleScratchBytes(), 3 * kMiB);
  EXPECT_EQ(engine::AcquireScratch(2 * kMiB), b);
  engine::ReturnScratch(b);
  engine::SetIdleScratchLimitForTesting(1 * kMiB);  // a tighter bound applies at once
  EXPECT_EQ(engine::IdleScratchBytes(), 1 * kMiB);
  // The automatic bound covers six 32-bit planes of a large canvas.
  engine::SetIdleScratchLimitForTesting(0);
  PMR_CreateImage(nullptr, 3500, 3500, 32, 0);
  EXPECT_EQ(engine::IdleScratchLimit(), std::size_t{6} * 3500 * 3500 * 4);
  PMR_DeleteImage();
  EXPECT_EQ(engine::IdleScratchLimit(), std::size_t{256} * kMiB);
}

TEST_F(ScratchPool, TrimsAndCanvasChangesEmptyIt) {
  MakeCanvas(64, 32);
  PMR_IPLAllocSrcBuffer24();
  PMR_IPLFreeSrcBuffer24();
  EXPECT_GE(engine::IdleScratchBytes(), std::size_t{64} * 32 * 3);
  PMR_TrimScratch();
  EXPECT_EQ(engine::IdleScratchBytes(), 0u);
  for (void (*change)() : {+[] { PMR_NewSize(nullptr, 40, 30, 32, 0); }, +[] { PMR_DeleteImage(); },
                           +[] { PMR_IPLExit(); }}) {
    MakeCanvas(64, 32);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer24();
    PMR_IPLFreeDstBuffer24();
    ASSERT_GT(engine::IdleScratchBytes(), 0u);
    change();
    // A buffer still held (the source buffer 32 across PMR_IPLExit) stays lent and usable.
    EXPECT_EQ(engine::IdleScratchBytes(), 0u);
  }
}

TEST_F(ScratchPool, TheHeapCeilingRefusesKeptBlocksToo) {
  void* block = engine::AcquireScratch(kMiB);
  engine::ReturnScratch(block);
  engine::SetAllocationCeilingForTesting(kMiB - 1);
  EXPECT_THROW(engine::AcquireScratch(kMiB), std::bad_alloc);
  EXPECT_EQ(engine::IdleScratchBytes(), kMiB);  // the refusal changed nothing
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_EQ(engine::AcquireScratch(kMiB), block);
  engine::ReturnScratch(block);
}

TEST_F(ScratchPool, TheImageLibrarysTemporariesComeFromIt) {
  engine::TrimScratch();
  void* lent = nullptr;
  {
    imaging::ScratchPicture picture(100, 200, CV_8UC4);
    lent = picture.mat().data;
    EXPECT_EQ(picture.mat().step, std::size_t{800});
    EXPECT_EQ(engine::IdleScratchBytes(), 0u);
  }
  EXPECT_EQ(engine::IdleScratchBytes(), std::size_t{100} * 200 * 4);
  imaging::ScratchBlock again(100 * 200 * 4);
  EXPECT_EQ(again.data(), lent);
  EXPECT_THROW(imaging::ScratchPicture(-1, 5, CV_8UC1), std::bad_alloc);
}

// An effect run after a successful one, with the memory now refused, still fails as a whole:
// the kept 24-bit buffers and layer copy obey the ceiling, nothing is written, the message is
// the dispatcher's.
TEST_F(ScratchPool, AnEffectRunAfterAGoodOneStillFailsCleanly) {
  constexpr int kW = 48, kH = 40;
  MakeCanvas(kW, kH);
  palmora_test::PaintPattern(2, 5);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  for (const char* name : {"Emboss", "Grayscale"}) {
    SCOPED_TRACE(name);
    PMR_IPLImageProcess(0, name, 0, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    ASSERT_GT(engine::IdleScratchBytes(), 0u);
    palmora_test::PaintPattern(2, 6);
    const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
    PMR_SetLastError("");
    engine::SetAllocationCeilingForTesting(std::size_t{kW} * kH * 2);
    PMR_IPLImageProcess(0, name, 0, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    engine::SetAllocationCeilingForTesting(0);
    EXPECT_STREQ(PMR_GetLastError(), "IPLImageProc Excpt");
    EXPECT_EQ(palmora_test::ReadLayer(2), before);
    EXPECT_EQ(engine::State().processingBuffers.src24, nullptr);
  }
}

}  // namespace
