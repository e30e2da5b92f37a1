/* palmora: engine state, canvas lifecycle, memory helpers, last error, host services. */
#ifndef PALMORA_ENGINE_H
#define PALMORA_ENGINE_H

#include "palmora/export.h"

/* Creates the canvas: clamps width and height (below 0 or above 10000 become 100; 0 is kept),
 * allocates the brush buffers for brushes up to maxBrushSize, the mask (all selected), the undo
 * back buffers and the random pools, and empties every layer slot (names, modes and flags survive).
 * reservedParam is stored and never read. On failure: "CreateImage Excpt". */
PMR_API void PMR_CreateImage(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize,
                             int32_t reservedParam);
/* Re-creates every canvas-sized and brush-sized plane at a new size; layers are left alone (the
 * host re-creates them) and the paint layer is released. On failure: "NewSize Excpt". */
PMR_API void PMR_NewSize(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize,
                         int32_t reservedParam);
/* Releases everything the canvas owns. The random pools, last error and start directory survive. */
PMR_API void PMR_DeleteImage(void);

/* The last-error text: at most 511 bytes, always terminated. Successful calls never clear it. */
PMR_API void PMR_SetLastError(const char* text);
PMR_API const char* PMR_GetLastError(void);

/* The engine's heap: blocks the engine hands out, and blocks the host passes in for it to keep. */
PMR_API void* PMR_Alloc(int32_t size);
PMR_API void PMR_Free(void* block);
/* Extra export: releases the idle blocks the engine keeps between effect runs to spare their page
 * faults (bounded by the larger of 256 MiB and six 32-bit canvas planes). Deleting or resizing the
 * canvas and PMR_IPLExit release them too. A host may call it when the system is short of memory.
 */
PMR_API void PMR_TrimScratch(void);
/* Copies count bytes when both pointers are non-null. */
PMR_API void PMR_Memcpy(void* dst, const void* src, uint32_t count);
/* Returns its argument: a host that passes a variable by reference learns its address. */
PMR_API void* BankAdrs(void* p);

/* Base folder of the engine's data files; a path of 1024 bytes or more is refused. */
PMR_API void PMR_SetStartDir(const char* dir);
/* Stores the seed and reseeds the engine's generator (x = x * 214013 + 2531011,
 * result (x >> 16) & 0x7FFF). The random pools are rebuilt from it at the next canvas creation. */
PMR_API void PMR_SetRandomSeed(uint32_t seed);

/* Window redraw control. This system has no window manager of its own: both are documented no-ops
 * that return 0, kept so that hosts written for the interface link and run unchanged. */
PMR_API int32_t PMR_SetWindowRedraw(void* window, int32_t redraw);
PMR_API int32_t PMR_RedrawWindow(void* window);

/* The display-change latch: returns 1 once after each change, then 0. */
PMR_API int32_t PMR_IsDisplayChanged(void);
/* Extra export: sets the display-change latch. A host (or its display watcher) calls it when the
 * screen configuration, the session or the power state changes. */
PMR_API void PMR_SignalDisplayChange(void);

/* Accepted and ignored: the engine keeps no grid. */
PMR_API void PMR_SetGridSpacing(int32_t spacing);
PMR_API void PMR_SetGrid(int32_t spacing);

#endif
