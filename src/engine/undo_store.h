// The undo history: commits, undo, redo, and the memory budget that bounds them.
#pragma once

#include <cstdint>

namespace engine {

void SetUndoLevels(int32_t levels);
void SetUndoMB(int32_t megabytes);
int32_t GetTotalUndoMemory();
int32_t GetCurrentUndoMemory();
void ClearUndo();
void SaveUndoBackBuffer(int32_t index);
void SaveUndoBuffer(bool saveColour, bool saveMask);
void ReduceUndo(int32_t kilobytes);
void Undo();
void Redo();
bool CanUndo();
bool CanRedo();
uint32_t GetRedoCount();
int32_t GetUndoCount();
void PauseUndo();
void ResumeUndo();

// Recomputes the automatic budget from the machine's free memory (only while it is automatic).
void RecomputeUndoBudget();
// Makes the pending rectangle empty, so that the next commit saves the whole canvas.
void EmptyPendingRect();
// Widens the pending rectangle (inclusive bounds) to cover left..right x top..bottom.
void WidenPendingRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

}  // namespace engine
