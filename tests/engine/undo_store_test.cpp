#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/undo_store.h"
#include "platform/memory_status.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;
using palmora_test::PaintPattern;
using palmora_test::ReadLayer;

class UndoStore : public EngineTest {
 protected:
  void MakeHistory(int32_t width, int32_t height, int32_t levels, int32_t budgetMB = 64) {
    MakeCanvas(width, height, 5, 2);
    PMR_SetUndoLevels(levels);
    PMR_SetUndoMB(budgetMB);
  }
  std::vector<uint16_t> BackBuffer() const {
    const auto& s = State();
    return {s.undo.historyBack,
            s.undo.historyBack + std::size_t(s.canvasWidth) * s.canvasHeight * 4};
  }
  std::vector<uint16_t> Mask() const {
    const auto& s = State();
    return {s.maskPlane, s.maskPlane + std::size_t(s.canvasWidth) * s.canvasHeight};
  }
};

TEST_F(UndoStore, WithoutLevelsNothingIsRecordedButTheBackBufferFollows) {
  MakeHistory(8, 8, 0);
  PaintPattern(2, 1);
  PMR_SaveUndoBuffer(1, 1);
  EXPECT_EQ(PMR_CanUndo(), 0);
  EXPECT_EQ(PMR_GetUndoCount(), 0);
  EXPECT_EQ(BackBuffer(), ReadLayer(2));
  PMR_Undo();
  EXPECT_EQ(BackBuffer(), ReadLayer(2));
}

TEST_F(UndoStore, LevelsAreLimitedTo0To500) {
  MakeHistory(4, 4, 1000);
  EXPECT_EQ(State().undo.undoLevels, 500);
  PMR_SetUndoLevels(-3);
  EXPECT_EQ(State().undo.undoLevels, 0);
}

TEST_F(UndoStore, UndoAndRedoRestoreTheLayerBitForBit) {
  MakeHistory(16, 12, 10);
  PaintPattern(2, 1);
  PMR_SaveUndoBuffer(1, 0);  // no pending rectangle: the whole canvas
  const auto before = ReadLayer(2);
  // Change a block, widen the pending rectangle over it as the brush does, and commit.
  std::vector<uint16_t> after = before;
  for (int y = 3; y <= 6; ++y)
    for (int x = 4; x <= 9; ++x)
      for (int c = 0; c < 4; ++c) after[(y * 16 + x) * 4 + c] = uint16_t(x * 1000 + y * 10 + c);
  palmora_test::WriteLayer(2, after);
  engine::WidenPendingRect(4, 3, 10, 7);
  PMR_SaveUndoBuffer(1, 0);
  const auto& entry = State().undo.entries[1];
  EXPECT_EQ(entry.left, 4);
  EXPECT_EQ(entry.top, 3);
  EXPECT_EQ(entry.right, 10);
  EXPECT_EQ(entry.bottom, 7);

  PMR_Undo();
  EXPECT_EQ(ReadLayer(2), before);
  EXPECT_EQ(BackBuffer(), before);
  EXPECT_EQ(PMR_GetRedoCount(), 1u);
  EXPECT_EQ(PMR_CanRedo(), 1);
  PMR_Redo();
  EXPECT_EQ(ReadLayer(2), after);
  EXPECT_EQ(BackBuffer(), after);
  PMR_Undo();
  PMR_Undo();  // the whole-canvas step before it
  EXPECT_EQ(PMR_CanUndo(), 0);
  PMR_Redo();
  PMR_Redo();
  EXPECT_EQ(ReadLayer(2), after);
}

TEST_F(UndoStore, MaskStepsSwapTheMaskToo) {
  MakeHistory(8, 8, 5);
  const auto selected = Mask();
  State().maskPlane[9] = 123;
  State().maskPlane[63] = 0;
  const auto edited = Mask();
  PMR_SaveUndoBuffer(0, 1);
  EXPECT_EQ(State().undo.entries[1].colour, nullptr);
  PMR_Undo();
  EXPECT_EQ(Mask(), selected);
  PMR_Redo();
  EXPECT_EQ(Mask(), edited);
}

TEST_F(UndoStore, ANewCommitDropsTheUndoneSteps) {
  MakeHistory(8, 8, 10);
  for (uint32_t step = 1; step <= 3; ++step) {
    PaintPattern(2, step);
    PMR_SaveUndoBuffer(1, 0);
  }
  const auto afterFirst = [&] {
    PMR_Undo();
    PMR_Undo();
    return ReadLayer(2);
  }();
  PaintPattern(2, 77);
  const auto fresh = ReadLayer(2);
  PMR_SaveUndoBuffer(1, 0);
  EXPECT_EQ(PMR_GetRedoCount(), 0u);
  EXPECT_EQ(PMR_GetUndoCount(), 2);
  PMR_Undo();
  EXPECT_EQ(ReadLayer(2), afterFirst);
  PMR_Redo();
  EXPECT_EQ(ReadLayer(2), fresh);
}

TEST_F(UndoStore, ACommitAfterClearingSavesTheWholeCanvasAndDegenerateRectsToo) {
  MakeHistory(9, 7, 5);
  PMR_ClearUndo();
  PMR_SaveUndoBuffer(1, 0);
  auto& e = State().undo.entries[1];
  EXPECT_EQ(e.left, 0);
  EXPECT_EQ(e.top, 0);
  EXPECT_EQ(e.right, 8);
  EXPECT_EQ(e.bottom, 6);
  engine::WidenPendingRect(2, 2, 2, 5);  // one pixel wide
  PMR_SaveUndoBuffer(1, 0);
  EXPECT_EQ(State().undo.entries[1].right, 8);
  engine::WidenPendingRect(-4, -4, 100, 2);  // clamped to the canvas
  PMR_SaveUndoBuffer(1, 0);
  EXPECT_EQ(State().undo.entries[1].left, 0);
  EXPECT_EQ(State().undo.entries[1].right, 8);
  EXPECT_EQ(State().undo.entries[1].bottom, 2);
}

TEST_F(UndoStore, UndoSelectsTheLayerTheStepWasMadeOn) {
  MakeHistory(8, 8, 10);
  PMR_SetLayer(3);
  const auto original = ReadLayer(3);
  PaintPattern(3, 5);
  PMR_SaveUndoBuffer(1, 0);
  PMR_SetLayer(5);
  const auto five = ReadLayer(5);
  PMR_Undo();
  EXPECT_EQ(PMR_GetLayerNum(), 3);
  EXPECT_EQ(ReadLayer(3), original);
  EXPECT_EQ(ReadLayer(5), five);
}

TEST_F(UndoStore, AStepWhoseLayerWasDeletedNeverLandsInAnotherLayer) {
  MakeHistory(8, 8, 10);
  PMR_SetLayer(3);
  PaintPattern(3, 5);
  PMR_SaveUndoBuffer(1, 0);
  PMR_SetLayer(4);
  PMR_DeleteLayer(3);
  const auto four = ReadLayer(4);
  PMR_Undo();
  EXPECT_EQ(ReadLayer(4), four);
  EXPECT_EQ(PMR_GetRedoCount(), 1u);
}

TEST_F(UndoStore, FixedAndAutomaticBudgets) {
  MakeHistory(1024, 1024, 5);
  PMR_SetUndoMB(64);
  EXPECT_EQ(PMR_GetTotalUndoMemory(), 64);
  EXPECT_EQ(State().undo.undoBudgetAuto, 0);
  // Automatic: x = free * 0.85 + used; budget = x - 20P, at least 15P (P = pixels / 1024 KiB).
  platform::MemoryStatus status;
  status.availablePhysical = uint64_t{8} << 30;
  status.availablePageFile = uint64_t{2} << 30;  // the smaller figure counts
  platform::OverrideMemoryStatusForTesting(&status);
  PMR_SetUndoMB(0);
  const int64_t used = 1024 * 1024 * 10 / 1024;
  const int64_t x = int64_t((uint64_t{2} << 20) * 0.85 + used);
  EXPECT_EQ(State().undo.undoBudgetKB, x - 20 * 1024);
  status.availablePageFile = uint64_t{1} << 20;
  platform::OverrideMemoryStatusForTesting(&status);
  EXPECT_EQ(PMR_GetTotalUndoMemory(), 15);
  EXPECT_EQ(State().undo.undoBudgetKB, 15 * 1024);
}

TEST_F(UndoStore, MemoryIsAccountedPerBufferAndReturned) {
  MakeHistory(256, 128, 10);
  const int32_t base = 256 * 128 * 10 / 1024;
  EXPECT_EQ(State().undo.undoUsedKB, base);
  engine::WidenPendingRect(0, 0, 100, 50);  // 101 x 51 pixels
  PMR_SaveUndoBuffer(1, 1);
  EXPECT_EQ(State().undo.undoUsedKB, base + 101 * 51 * 8 / 1024 + 101 * 51 * 2 / 1024);
  PMR_SaveUndoBuffer(1, 0);
  EXPECT_EQ(PMR_GetCurrentUndoMemory(),
            (base + 101 * 51 * 10 / 1024 + 256 * 128 * 8 / 1024) / 1024);
  PMR_ClearUndo();
  EXPECT_EQ(State().undo.undoUsedKB, base);
}

TEST_F(UndoStore, TheBudgetEvictsTheOldestStepsFirst) {
  // 256 x 256: the back buffers count 640 KiB, a colour step 512 KiB, and the room check counts
  // 640 KiB a step. A 2 MiB budget keeps two steps.
  MakeHistory(256, 256, 10, 2);
  std::vector<std::vector<uint16_t>> states = {ReadLayer(2)};
  for (uint32_t step = 1; step <= 4; ++step) {
    PaintPattern(2, step);
    states.push_back(ReadLayer(2));
    PMR_SaveUndoBuffer(1, 0);
  }
  EXPECT_EQ(PMR_GetUndoCount(), 2);
  EXPECT_LE(State().undo.undoUsedKB, 2048);
  PMR_Undo();
  EXPECT_EQ(ReadLayer(2), states[3]);
  PMR_Undo();
  EXPECT_EQ(ReadLayer(2), states[2]);
  EXPECT_EQ(PMR_CanUndo(), 0);
}

TEST_F(UndoStore, ReduceReleasesFromTheOldestEnd) {
  MakeHistory(64, 64, 10);
  for (uint32_t step = 1; step <= 4; ++step) {
    PaintPattern(2, step);
    PMR_SaveUndoBuffer(1, 0);
  }
  // Each step counts 64 * 64 * 10 / 1024 = 40 KiB; asking for 50 releases the two oldest.
  PMR_ReduceUndo(50);
  EXPECT_EQ(PMR_GetUndoCount(), 2);
  EXPECT_NE(State().undo.entries[1].colour, nullptr);
  EXPECT_NE(State().undo.entries[2].colour, nullptr);
  EXPECT_EQ(State().undo.entries[3].colour, nullptr);
}

TEST_F(UndoStore, PausedHistoryChangesNothing) {
  MakeHistory(8, 8, 5);
  PaintPattern(2, 3);
  PMR_SaveUndoBuffer(1, 0);
  const auto layer = ReadLayer(2);
  PMR_PauseUndo();
  PMR_Undo();
  EXPECT_EQ(ReadLayer(2), layer);
  EXPECT_EQ(PMR_GetRedoCount(), 0u);
  PaintPattern(2, 4);
  PMR_SaveUndoBuffer(1, 0);
  EXPECT_EQ(PMR_GetUndoCount(), 1);
  PMR_ResumeUndo();
  PMR_Undo();
  PMR_PauseUndo();
  PMR_Redo();
  EXPECT_EQ(PMR_GetRedoCount(), 1u);
  PMR_ClearUndo();  // ends the pause
  EXPECT_EQ(State().undo.undoPaused, 0);
}

TEST_F(UndoStore, AFailedCommitRecordsNothingAndKeepsTheBackBuffer) {
  MakeHistory(64, 64, 5);
  PaintPattern(2, 1);
  PMR_SaveUndoBuffer(1, 0);
  const auto back = BackBuffer();
  PaintPattern(2, 2);
  engine::WidenPendingRect(0, 0, 40, 40);
  engine::SetAllocationCeilingForTesting(1024);
  PMR_SetLastError("");
  PMR_SaveUndoBuffer(1, 0);
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_STREQ(PMR_GetLastError(), "SaveUndoBuf Excpt");
  EXPECT_EQ(PMR_GetUndoCount(), 1);
  EXPECT_EQ(BackBuffer(), back);
  EXPECT_NE(State().undo.pending.right, 0);  // still pending for the next try
  PMR_SaveUndoBuffer(1, 0);
  EXPECT_EQ(PMR_GetUndoCount(), 2);
  EXPECT_EQ(State().undo.entries[1].right, 40);
  EXPECT_EQ(State().undo.entries[1].bottom, 40);
  const auto layer = ReadLayer(2);
  const auto refreshed = BackBuffer();
  EXPECT_TRUE(std::equal(layer.begin(), layer.begin() + 41 * 4, refreshed.begin()));
}

TEST_F(UndoStore, AStepWithoutBuffersEndsTheReachableHistory) {
  MakeHistory(8, 8, 5);
  PaintPattern(2, 1);
  PMR_SaveUndoBuffer(1, 0);
  PMR_SaveUndoBuffer(0, 0);
  EXPECT_EQ(PMR_GetUndoCount(), 1);
  EXPECT_EQ(PMR_CanUndo(), 0);
}

}  // namespace
