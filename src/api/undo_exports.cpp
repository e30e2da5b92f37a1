// Exports: the undo history.
#include "api/guard.h"
#include "engine/undo_store.h"
#include "palmora/undo.h"

PMR_API void PMR_SetUndoLevels(int32_t levels) {
  api::guard("ClearUndo Excpt", [&] { engine::SetUndoLevels(levels); });
}
PMR_API void PMR_SetUndoMB(int32_t megabytes) {
  api::guard("SetUndoMB Excpt", [&] { engine::SetUndoMB(megabytes); });
}
PMR_API int32_t PMR_GetTotalUndoMemory(void) {
  return api::guard(0, "GetTotalUndoMemory Excpt", [] { return engine::GetTotalUndoMemory(); });
}
PMR_API int32_t PMR_GetCurrentUndoMemory(void) { return engine::GetCurrentUndoMemory(); }
PMR_API void PMR_ClearUndo(void) {
  api::guard("ClearUndo Excpt", [] { engine::ClearUndo(); });
}
PMR_API void PMR_SaveUndoBackBuffer(int32_t index) {
  api::guard("SaveUndoBackBuffer Excpt", [&] { engine::SaveUndoBackBuffer(index); });
}
PMR_API void PMR_SaveUndoBuffer(int32_t saveColour, int32_t saveMask) {
  api::guard("SaveUndoBuf Excpt",
             [&] { engine::SaveUndoBuffer(uint8_t(saveColour) != 0, uint8_t(saveMask) != 0); });
}
PMR_API void PMR_ReduceUndo(int32_t kilobytes) {
  api::guard("ReduceUndo Excpt", [&] { engine::ReduceUndo(kilobytes); });
}
PMR_API void PMR_Undo(void) {
  api::guard("Undo Excpt", [] { engine::Undo(); });
}
PMR_API void PMR_Redo(void) {
  api::guard("Redo Excpt", [] { engine::Redo(); });
}
PMR_API int32_t PMR_CanUndo(void) { return engine::CanUndo() ? 1 : 0; }
PMR_API int32_t PMR_CanRedo(void) { return engine::CanRedo() ? 1 : 0; }
PMR_API uint32_t PMR_GetRedoCount(void) { return engine::GetRedoCount(); }
PMR_API int32_t PMR_GetUndoCount(void) { return engine::GetUndoCount(); }
PMR_API void PMR_PauseUndo(void) { engine::PauseUndo(); }
PMR_API void PMR_ResumeUndo(void) { engine::ResumeUndo(); }
