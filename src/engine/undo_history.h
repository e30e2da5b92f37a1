// The undo store: back buffers holding the last save point and up to 500 committed steps.
#pragma once

#include <cstdint>

namespace engine {

inline constexpr int kHistoryEntries = 500;

// One history step: the rectangle (inclusive on all four sides) of the current layer and of the
// mask as it was before the step (after an undo, as it was after the step).
struct HistoryEntry {
  uint16_t* colour = nullptr;  // RGBA64, w x h packed, or null
  uint16_t* mask = nullptr;    // G16, w x h packed, or null
  uint8_t maskFlag = 0;
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// Inclusive rectangle of what changed since the last commit.
struct PendingRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

struct UndoHistory {
  uint16_t* historyBack = nullptr;      // RGBA64 canvas-sized: the current layer at the save point
  uint16_t* historyBackMask = nullptr;  // G16 canvas-sized: the mask at the save point
  HistoryEntry entries[kHistoryEntries + 1] = {};  // entry 0 stands for the back buffers
  int32_t historyLayer[kHistoryEntries] = {};      // historyLayer[k - 1] is entry k's layer
  int32_t undoLevels = 0;
  uint32_t redoCount = 0;
  uint8_t undoPaused = 0;
  int32_t undoBudgetKB = 0;
  uint8_t undoBudgetAuto = 0;
  int32_t undoUsedKB = 0;
  PendingRect pending;
};

}  // namespace engine
