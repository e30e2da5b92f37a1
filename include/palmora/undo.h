/* palmora: the undo history. Each committed step stores the changed rectangle of the current layer
 * (and optionally of the mask) as it was before the step; undo and redo swap it with the live
 * pixels. The history holds up to 500 steps within a memory budget. */
#ifndef PALMORA_UNDO_H
#define PALMORA_UNDO_H

#include "palmora/export.h"

/* Empties the history and sets how many steps it keeps (0..500; 0 records nothing). */
PMR_API void PMR_SetUndoLevels(int32_t levels);
/* A fixed budget in MiB, or 0 for a budget derived from free memory. */
PMR_API void PMR_SetUndoMB(int32_t megabytes);
PMR_API int32_t PMR_GetTotalUndoMemory(void);
PMR_API int32_t PMR_GetCurrentUndoMemory(void);
PMR_API void PMR_ClearUndo(void);
/* Copies a layer (and the mask) into the back buffers that hold the last save point. */
PMR_API void PMR_SaveUndoBackBuffer(int32_t index);
/* Commits a step: the pending rectangle (or the whole canvas when none) of the current layer and,
 * when asked, of the mask. On memory failure: "SaveUndoBuf Excpt", nothing recorded. */
PMR_API void PMR_SaveUndoBuffer(int32_t saveColour, int32_t saveMask);
/* Releases the oldest steps until at least kilobytes KiB are freed. */
PMR_API void PMR_ReduceUndo(int32_t kilobytes);
PMR_API void PMR_Undo(void);
PMR_API void PMR_Redo(void);
PMR_API int32_t PMR_CanUndo(void);
PMR_API int32_t PMR_CanRedo(void);
PMR_API uint32_t PMR_GetRedoCount(void);
PMR_API int32_t PMR_GetUndoCount(void);
PMR_API void PMR_PauseUndo(void);
PMR_API void PMR_ResumeUndo(void);

#endif
