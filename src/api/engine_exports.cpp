// Exports: engine state, canvas lifecycle, memory helpers, last error, small host services.
#include <cstdlib>
#include <cstring>

#include "api/guard.h"
#include "engine/canvas_lifecycle.h"
#include "engine/heap.h"
#include "engine/host_basics.h"
#include "engine/scratch_pool.h"
#include "palmora/engine.h"

PMR_API void PMR_CreateImage(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize,
                             int32_t reservedParam) {
  api::guard("CreateImage Excpt",
             [&] { engine::CreateImage(hostWindow, width, height, maxBrushSize, reservedParam); });
}
PMR_API void PMR_NewSize(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize,
                         int32_t reservedParam) {
  api::guard("NewSize Excpt",
             [&] { engine::NewSize(hostWindow, width, height, maxBrushSize, reservedParam); });
}
PMR_API void PMR_DeleteImage(void) {
  api::guard("DeleteImage Excpt", [] { engine::DeleteImage(); });
}

PMR_API void PMR_SetLastError(const char* text) { engine::SetLastError(text); }
PMR_API const char* PMR_GetLastError(void) { return engine::State().lastError; }

PMR_API void* PMR_Alloc(int32_t size) {
  return size < 0 ? nullptr : engine::TryAllocateBytes(std::size_t(size));
}
PMR_API void PMR_Free(void* block) { engine::ReleaseBytes(block); }
// Only idle blocks are released, so a trim from a host callback leaves the running call alone.
PMR_API void PMR_TrimScratch(void) { engine::TrimScratch(); }
PMR_API void PMR_Memcpy(void* dst, const void* src, uint32_t count) {
  engine::Memcpy(dst, src, count);
}
PMR_API void* BankAdrs(void* p) { return p; }

PMR_API void PMR_SetStartDir(const char* dir) { engine::SetStartDir(dir); }
PMR_API void PMR_SetRandomSeed(uint32_t seed) { engine::SetRandomSeed(seed); }

PMR_API int32_t PMR_SetWindowRedraw(void* window, int32_t redraw) { return 0; }
PMR_API int32_t PMR_RedrawWindow(void* window) { return 0; }

PMR_API int32_t PMR_IsDisplayChanged(void) { return engine::IsDisplayChanged(); }
PMR_API void PMR_SignalDisplayChange(void) { engine::SignalDisplayChange(); }

PMR_API void PMR_SetGridSpacing(int32_t spacing) {}
PMR_API void PMR_SetGrid(int32_t spacing) {}
